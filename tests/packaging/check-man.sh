#!/usr/bin/env bash
# The man pages must format without a groff warning, and the treskdump page
# must document every option that `treskdump --help` offers.
set -euo pipefail
mandir=$1
treskdump=$2
status=0
for page in "$mandir"/*.1; do
  warnings=$(groff -man -ww -z "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    status=1
  fi
done
help=$("$treskdump" --help)
options=$(grep -oE '(^|[[ |])--?[a-z][a-z-]*' <<<"$help" | grep -oE -- '--?[a-z][a-z-]*' | sort -u)
[ -n "$options" ] || { echo "no options found in treskdump --help"; exit 1; }
# groff source writes a hyphen in an option as \-.
page=$(sed 's/\\-/-/g' "$mandir/treskdump.1")
for opt in $options; do
  if ! grep -qE -- "(^|[^a-z-])$opt([^a-z-]|$)" <<<"$page"; then
    echo "treskdump.1 does not document $opt"
    status=1
  fi
done
exit $status
