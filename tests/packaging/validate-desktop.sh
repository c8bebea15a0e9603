#!/usr/bin/env bash
# desktop-file-validate fails only on errors; a warning (a deprecated key, a
# wrong value type) or a hint (a category that wants another) is a fault of
# the entry too, so any output fails here.
set -euo pipefail
out=$(desktop-file-validate "$1" 2>&1) || { echo "$out"; exit 1; }
echo "$out"
if [ -n "$out" ]; then
  exit 1
fi
