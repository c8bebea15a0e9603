#!/usr/bin/env bash
# Runs the benchmarks of a build made with -DTRESK_BUILD_BENCH=ON (Release) and
# prints every goal as a ratio to `xxd` timed in the same run on the same file,
# so the figures hold on a busy or slow machine alike:
#  1. treskbench: decode + report at 1,000, 100,000 and 1,000,000 records, time
#     per record (time_per_rec), peak memory (peak_MB) and the linear fit (BigO).
#  2. treskdump on a 1,000,000-record layout-0 file (54 MB, made in the
#     temporary folder and removed afterwards), report, CSV and Excel
#     workbook, CPU time and peak under /usr/bin/time: report <= 0.5x xxd's
#     CPU, CSV <= 0.75x, workbook <= 5x, peak <= 100 MiB; rows in memory <= 80 bytes each; the CPU per record at
#     5,000,000 records within 1.2x that at 100,000; a search of its rows
#     that finds nothing within the time of their load.
#  3. The viewer (treskviewbench, when built with the GUI, under Xvfb): the
#     1,000,000 rows into the list within 0.6x xxd's CPU, a reload with them
#     loaded <= 0.35 s, rows <= 80 bytes each, and a Ctrl+C of every row
#     raising the peak by at most twice the size of the copied text.
# Exits 1 when a goal is missed.
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
bench="$build/bench/treskbench"
viewbench="$build/bench/treskviewbench"
dump="$build/tools/treskdump"
for exe in "$bench" "$dump"; do
  [ -x "$exe" ] || { echo "run-bench: $exe is missing (configure with -DTRESK_BUILD_BENCH=ON and build)" >&2; exit 2; }
done
for tool in /usr/bin/time xxd; do
  command -v "$tool" >/dev/null || { echo "run-bench: $tool is missing (Debian packages 'time' and 'xxd')" >&2; exit 2; }
done

echo "== Decode + report (treskbench)"
"$bench" --benchmark_counters_tabular=true "${@:2}"

work=$(mktemp -d "${TMPDIR:-/tmp}/treskbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
big="$work/big.PRG"
"$bench" --write-prg 1000000 "$big"

# Prints "<CPU seconds> <wall seconds> <peak kB>" of one command.
measure() {
  /usr/bin/time -f '%U %S %e %M' -o "$work/time.txt" "$@"
  awk '{ printf "%.3f %.3f %d\n", $1 + $2, $3, $4 }' "$work/time.txt"
}
# The least CPU time of n runs of a command (a busy machine only adds).
least_cpu() {
  local n=$1 best='' cpu wall kb
  shift
  for _ in $(seq "$n"); do
    read -r cpu wall kb < <(measure "$@")
    if [ -z "$best" ] || awk -v a="$cpu" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$cpu; fi
  done
  echo "$best"
}

status=0
# verdict LABEL VALUE LIMIT TEXT: prints the line, notes a missed goal.
verdict() {
  local label=$1 value=$2 limit=$3 text=$4 mark=ok
  if ! awk -v v="$value" -v l="$limit" 'BEGIN { exit !(v <= l) }'; then
    mark="GOAL MISSED"
    status=1
  fi
  printf '%-44s %s  (goal <= %s)  %s\n' "$label" "$text" "$limit" "$mark"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo
echo "== treskdump on 1,000,000 layout-0 records ($(stat -c %s "$big") bytes), CPU time against xxd's"
# Warm the page cache so the figures are the programs', not the disk's.
cat "$big" >/dev/null
xxd_cpu=$(least_cpu 3 xxd "$big" "$work/big.hex")
rm -f "$work/big.hex"
printf '%-44s %6.3f s CPU\n' "xxd on the same file" "$xxd_cpu"

report_cpu=$(least_cpu 3 "$dump" -o "$work/out.txt" "$big")
read -r _ _ report_kb < <(measure "$dump" -o "$work/out.txt" "$big")
read -r _ _ stdout_kb < <(measure sh -c '"$1" "$2" > "$3"' sh "$dump" "$big" "$work/stdout.txt")
cmp "$work/out.txt" "$work/stdout.txt"
csv_cpu=$(least_cpu 3 "$dump" --csv -o "$work/out.csv" "$big")
read -r _ _ csv_kb < <(measure "$dump" --csv -o "$work/out.csv" "$big")
xlsx_cpu=$(least_cpu 3 "$dump" --xlsx -o "$work/out.xlsx" "$big")
read -r _ _ xlsx_kb < <(measure "$dump" --xlsx -o "$work/out.xlsx" "$big")
verdict "report (-o), CPU / xxd" "$(ratio "$report_cpu" "$xxd_cpu")" 0.5 "$(printf '%6.3f s = %sx' "$report_cpu" "$(ratio "$report_cpu" "$xxd_cpu")")"
verdict "CSV (--csv -o), CPU / xxd" "$(ratio "$csv_cpu" "$xxd_cpu")" 0.75 "$(printf '%6.3f s = %sx' "$csv_cpu" "$(ratio "$csv_cpu" "$xxd_cpu")")"
verdict "workbook (--xlsx -o), CPU / xxd" "$(ratio "$xlsx_cpu" "$xxd_cpu")" 5 "$(printf '%6.3f s = %sx' "$xlsx_cpu" "$(ratio "$xlsx_cpu" "$xxd_cpu")")"
peak_kb=$(printf '%s\n' "$report_kb" "$stdout_kb" "$csv_kb" "$xlsx_kb" | sort -n | tail -1)
verdict "peak of the four runs, MiB" "$((peak_kb / 1024))" 100 "$((peak_kb / 1024)) MiB"
read -r rows store_bytes rss_bytes < <("$bench" --row-bytes "$big")
verdict "rows in memory, bytes per row (converter)" "$(ratio "$store_bytes" "$rows")" 80 \
  "$(ratio "$store_bytes" "$rows") B (resident growth $(ratio "$rss_bytes" "$rows") B)"
read -r find_s load_s < <("$bench" --find-per-load "$big")
verdict "search finding nothing / load of the rows" "$(ratio "$find_s" "$load_s")" 1 \
  "$(printf '%.3f s / %.3f s = %sx' "$find_s" "$load_s" "$(ratio "$find_s" "$load_s")")"
echo "report: $(stat -c %s "$work/out.txt") bytes, $(wc -l < "$work/out.txt") lines; CSV: $(stat -c %s "$work/out.csv") bytes;" \
  "workbook: $(stat -c %s "$work/out.xlsx") bytes"
rm -f "$work/out.txt" "$work/stdout.txt" "$work/out.csv" "$work/out.xlsx"

echo
echo "== Linear growth: CPU per record at 5,000,000 against 100,000 records"
small="$work/small.PRG"
huge="$work/huge.PRG"
"$bench" --write-prg 100000 "$small"
"$bench" --write-prg 5000000 "$huge"
cat "$small" "$huge" >/dev/null
# /usr/bin/time gives CPU time in hundredths of a second, a quarter of one
# conversion of 100,000 records: 20 of them are timed together.
small_cpu=$(least_cpu 3 sh -c 'for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
  "$1" -o /dev/null "$2"; done' sh "$dump" "$small")
huge_cpu=$(least_cpu 2 "$dump" -o /dev/null "$huge")
per_small=$(awk -v c="$small_cpu" 'BEGIN { printf "%.0f", c * 1e9 / (20 * 100000) }')
per_huge=$(awk -v c="$huge_cpu" 'BEGIN { printf "%.0f", c * 1e9 / 5000000 }')
verdict "per record, 5M / 100k" "$(ratio "$per_huge" "$per_small")" 1.2 \
  "${per_huge} ns / ${per_small} ns = $(ratio "$per_huge" "$per_small")x"
rm -f "$small" "$huge"

echo
echo "== The viewer: 1,000,000 rows into the list, reload, Ctrl+C of every row"
if [ ! -x "$viewbench" ]; then
  echo "(treskviewbench not built: configure with the GUI to measure the viewer)"
elif ! command -v xvfb-run >/dev/null; then
  echo "(xvfb-run missing: the viewer's figures need an X display)"
else
  xvfb-run -a -s "-screen 0 1280x1024x24" "$viewbench" "$big" > "$work/viewer.txt"
  get() { awk -v k="$1" '$1 == k { print $2 }' "$work/viewer.txt"; }
  verdict "1,000,000 rows into the list, CPU / xxd" "$(ratio "$(get load_cpu_s)" "$xxd_cpu")" 0.6 \
    "$(printf '%6.3f s = %sx' "$(get load_cpu_s)" "$(ratio "$(get load_cpu_s)" "$xxd_cpu")")"
  verdict "reload with them loaded, s (per keystroke)" "$(get reload_cpu_s)" 0.35 "$(get reload_cpu_s) s"
  verdict "rows in memory, bytes per row (viewer)" "$(get list_bytes_per_row)" 80 \
    "$(get list_bytes_per_row) B resident ($(get store_bytes_per_row) B in the row store)"
  verdict "Ctrl+C of every row: peak growth / text" \
    "$(ratio "$(get copy_peak_growth_bytes)" "$(get copy_text_bytes)")" 2 \
    "$(( $(get copy_peak_growth_bytes) / 1048576 )) MiB for $(( $(get copy_text_bytes) / 1048576 )) MiB of text = $(ratio "$(get copy_peak_growth_bytes)" "$(get copy_text_bytes)")x in $(get copy_cpu_s) s"
fi
exit $status
