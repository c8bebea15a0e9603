#!/usr/bin/env bash
# treskdump's PDF and Excel workbook read back by other programs, with the
# strictest reader too: tests/tools/check_exports.py checks the PDF with qpdf
# and pdftotext and the workbook with openpyxl (as the test suite does), and
# here also converts every workbook to CSV with LibreOffice (too big a
# package for the test set) and compares it value for value with
# treskdump --csv. Uses the build of `make check` (BUILD, default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh ci  # what this stage uses, if .ci/run has not installed it yet
build=${BUILD:-build}
start=$SECONDS
dump=$build/tools/treskdump
[ -x "$dump" ] || cmake --build "$build" -j "$(nproc)" --target treskdump
# Debian's Python, the one python3-openpyxl is installed for.
/usr/bin/python3 tests/tools/check_exports.py "$dump" examples --libreoffice
echo "export stage: $((SECONDS - start)) s"
