#!/usr/bin/env bash
# The man pages must format without a groff warning, and the page of each
# program given must document every option that its --help offers.
# Usage: check-man.sh MANDIR PROGRAM...
set -euo pipefail
mandir=$1
shift
status=0
for page in "$mandir"/*.1; do
  warnings=$(groff -man -ww -z "$page" 2>&1)
  if [ -n "$warnings" ]; then
    echo "$page: $warnings"
    status=1
  fi
done
for program in "$@"; do
  name=$(basename "$program")
  help=$("$program" --help)
  options=$(grep -oE '(^|[[ |])--?[a-z][a-z-]*' <<<"$help" | grep -oE -- '--?[a-z][a-z-]*' | sort -u)
  [ -n "$options" ] || { echo "no options found in $name --help"; exit 1; }
  # groff source writes a hyphen in an option as \-.
  page=$(sed 's/\\-/-/g' "$mandir/$name.1")
  for opt in $options; do
    if ! grep -qE -- "(^|[^a-z-])$opt([^a-z-]|$)" <<<"$page"; then
      echo "$name.1 does not document $opt"
      status=1
    fi
  done
done
exit $status
