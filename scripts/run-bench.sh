#!/usr/bin/env bash
# Runs the benchmarks of a build made with -DTRESK_BUILD_BENCH=ON (Release):
#  1. treskbench: decode + report at 1,000, 100,000 and 1,000,000 records, time
#     per record (time_per_rec), peak memory (peak_MB) and the linear fit (BigO).
#  2. End to end: treskdump on a 1,000,000-record layout-0 file (54 MB, made in
#     the temporary folder and removed afterwards), to a file and to standard
#     output, under /usr/bin/time -v. Target: under 1 s and under 250 MB.
# Exits 1 when the end-to-end target is missed.
set -euo pipefail
build=$(cd "${1:-build-bench}" && pwd)
bench="$build/bench/treskbench"
dump="$build/tools/treskdump"
for exe in "$bench" "$dump"; do
  [ -x "$exe" ] || { echo "run-bench: $exe is missing (configure with -DTRESK_BUILD_BENCH=ON and build)" >&2; exit 2; }
done
if [ ! -x /usr/bin/time ]; then
  echo "run-bench: /usr/bin/time is missing (Debian package 'time')" >&2
  exit 2
fi

echo "== Decode + report (treskbench)"
"$bench" --benchmark_counters_tabular=true "${@:2}"

work=$(mktemp -d "${TMPDIR:-/tmp}/treskbench.XXXXXX")
trap 'rm -rf "$work"' EXIT
big="$work/big.PRG"
"$bench" --write-prg 1000000 "$big"

# Prints "<seconds> <peak kB>" of one command run under /usr/bin/time -v.
measure() {
  /usr/bin/time -v -o "$work/time.txt" "$@"
  awk -F': ' '
    /Elapsed \(wall clock\)/ { n = split($2, p, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + p[i] }
    /Maximum resident set size/ { kb = $2 }
    END { printf "%.3f %d\n", s, kb }' "$work/time.txt"
}

echo
echo "== End to end: treskdump on 1,000,000 layout-0 records ($(stat -c %s "$big") bytes)"
status=0
check() {
  local label=$1 secs=$2 kb=$3
  local mb=$(( kb / 1024 ))
  local verdict=ok
  if ! awk -v s="$secs" 'BEGIN { exit !(s < 1.0) }' || [ "$mb" -ge 250 ]; then
    verdict="TARGET MISSED (under 1 s and 250 MB)"
    status=1
  fi
  printf '%-28s %6.3f s  %4d MB peak  %s\n' "$label" "$secs" "$mb" "$verdict"
}
# Warm the page cache so the figures are the converter's, not the disk's.
cat "$big" >/dev/null
read -r secs kb < <(measure "$dump" -o "$work/out.txt" "$big")
check "report to a file (-o)" "$secs" "$kb"
read -r secs kb < <(measure sh -c '"$1" "$2" > "$3"' sh "$dump" "$big" "$work/stdout.txt")
check "report to standard output" "$secs" "$kb"
cmp "$work/out.txt" "$work/stdout.txt"
read -r secs kb < <(measure "$dump" --csv -o "$work/out.csv" "$big")
printf '%-28s %6.3f s  %4d MB peak  (CSV: no target)\n' "CSV to a file (-o)" "$secs" "$(( kb / 1024 ))"
echo "report: $(stat -c %s "$work/out.txt") bytes, $(wc -l < "$work/out.txt") lines"
exit $status
