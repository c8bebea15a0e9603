#!/usr/bin/env bash
# desktop-file-validate fails only on errors; a warning (a deprecated key, a
# wrong value type) is a fault of the entry too, so it fails here as well.
# Hints (suggestions of further categories) are allowed.
set -euo pipefail
out=$(desktop-file-validate "$1" 2>&1) || { echo "$out"; exit 1; }
echo "$out"
if grep -qE ': (error|warning):' <<<"$out"; then
  exit 1
fi
