#!/usr/bin/env bash
# A longer fuzzing campaign than CI's minute a target: MINUTES (default 10)
# per target, the same build, options and report as scripts/ci-20-fuzz.sh.
# New inputs it finds stay in fuzz/corpus-work/ (not committed); worth keeping
# ones can be minimised with -merge=1 into fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
case $minutes in
  '' | *[!0-9]*) echo "usage: $0 [MINUTES]" >&2; exit 2 ;;
esac
TRESK_FUZZ_SECONDS=$((minutes * 60)) exec bash scripts/ci-20-fuzz.sh
