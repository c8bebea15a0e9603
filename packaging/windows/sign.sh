#!/usr/bin/env bash
# Signs the Windows programs given, in place, with the code-signing
# certificate in TRESK_SIGN_PFX (a PKCS#12 file) and its password in
# TRESK_SIGN_PASSWORD: an Authenticode SHA-256 signature without a time stamp
# (no server is asked). Without TRESK_SIGN_PFX it signs nothing.
#   sign.sh FILE...
set -euo pipefail
[ -n "${TRESK_SIGN_PFX:-}" ] || exit 0
if [ -z "${TRESK_SIGN_PASSWORD+set}" ]; then
  echo "TRESK_SIGN_PFX is set but TRESK_SIGN_PASSWORD is not" >&2
  exit 1
fi
for file in "$@"; do
  rm -f "$file.signed"
  # The password goes through a pipe, not the command line other users see.
  osslsigncode sign -pkcs12 "$TRESK_SIGN_PFX" -readpass <(printf '%s' "$TRESK_SIGN_PASSWORD") \
    -h sha256 -n TreskViewer -in "$file" -out "$file.signed" >/dev/null
  mv -f "$file.signed" "$file"
done
