#!/usr/bin/env bash
# Hostile sizes, too slow for every test run: files of 50 MB and 200 MB made
# of 0x01 bytes (every record valid), of random bytes, and of random records
# (random bytes with every lead byte valid), converted in every layout by
# treskdump (LoadCutList into the in-memory table, then the report).
# Checks the row counts, the per-row memory budget (200 bytes a row), that a
# real memory limit ends in "Memoria insufficiente." and the next input still
# converts, that a report over a file-size limit leaves the old one whole, and
# prints time and peak memory so their growth can be seen to be linear. Uses
# the build of `make check` (BUILD, default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
dump=$build/tools/treskdump
start=$SECONDS
[ -x "$dump" ] || cmake --build "$build" -j "$(nproc)" --target treskdump

work=$(mktemp -d "${TMPDIR:-/tmp}/tresk-hostile-XXXXXX")
trap 'rm -rf "$work"' EXIT

# The layout's header and record sizes: header_of LAYOUT, record_of LAYOUT.
header_of() { if [ "$1" = 1 ]; then echo 0; else echo 3; fi; }
record_of() { if [ "$1" = 2 ]; then echo 50; else echo 54; fi; }

make_file() {  # kind megabytes -> path
  local path=$work/$1-$2MB.PRG bytes=$(($2 * 1000000))
  if [ ! -e "$path" ]; then
    case $1 in
      ones) head -c "$bytes" /dev/zero | tr '\0' '\001' >"$path" ;;
      random) head -c "$bytes" /dev/urandom >"$path" ;;
      records[012])
        # Random bytes whose lead bytes, at the places the layout puts them,
        # are all from 1 to 127: every record valid, every field random (but
        # no LF byte, so that the report's lines can be counted).
        local layout=${1#records}
        perl -e 'my ($h, $r, $n) = @ARGV; open(my $in, "<", "/dev/urandom") or die;
                 binmode $in; read($in, my $d, $n) == $n or die; $d =~ tr/\n/\x0b/;
                 for (my $p = $h; $p < $n; $p += $r) {
                   substr($d, $p, 1) = chr(1 + ord(substr($d, $p, 1)) % 127);
                 }
                 binmode STDOUT; print $d;' \
          "$(header_of "$layout")" "$(record_of "$layout")" "$bytes" >"$path" ;;
    esac
  fi
  echo "$path"
}

# Converts file in layout to standard output, counts the report's lines, and
# sets seconds, peak_kb and lines.
convert() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$dump" --layout "$2" "$1" | wc -l >"$work/lines"
  read -r seconds peak_kb <"$work/time"
  read -r lines <"$work/lines"
}

convert "$(make_file ones 0)" 0
base_kb=$peak_kb
echo "baseline (empty file): peak ${base_kb} KB"
printf '%-7s %5s %6s %9s %8s %9s %8s\n' kind MB layout rows seconds peak_MB B/row
status=0
declare -A peak
for kind in ones random records; do
  for mb in 50 200; do
    for layout in 0 1 2; do
      name=$kind
      [ "$kind" = records ] && name=records$layout
      file=$(make_file "$name" "$mb")
      size=$(stat -c %s "$file")
      convert "$file" "$layout"
      rows=$((lines - 3))
      per_row=-
      if [ "$kind" != random ]; then
        header=$(header_of "$layout")
        record=$(record_of "$layout")
        want=$(((size - header + record - 1) / record))
        if [ "$rows" -ne "$want" ]; then
          echo "$kind $mb MB layout $layout: $rows rows, expected $want"; status=1
        fi
        per_row=$(((peak_kb - base_kb) * 1024 / rows))
        if [ "$per_row" -gt 200 ]; then
          echo "$kind $mb MB layout $layout: $per_row bytes a row, over the 200-byte budget"; status=1
        fi
      fi
      peak[$kind-$mb-$layout]=$peak_kb
      printf '%-7s %5s %6s %9s %8s %9s %8s\n' "$kind" "$mb" "$layout" "$rows" "$seconds" \
        "$((peak_kb / 1024))" "$per_row"
    done
  done
done
for layout in 0 1 2; do
  ratio=$(awk -v a="${peak[ones-200-$layout]}" -v b="${peak[ones-50-$layout]}" -v z="$base_kb" \
    'BEGIN { printf "%.2f", (a - z) / (b - z) }')
  echo "layout $layout: memory of 200 MB / 50 MB of records = $ratio (4.00 is linear)"
done

# A real memory limit: the 200 MB file needs about 500 MB of rows; with 256 MB
# of address space the converter must report it and exit 1, not crash.
set +e
(ulimit -v 262144; "$dump" -o /dev/null "$(make_file ones 200)") 2>"$work/oom.err"
oom_status=$?
set -e
if [ "$oom_status" -ne 1 ] || [ "$(cat "$work/oom.err")" != "treskdump: Memoria insufficiente." ]; then
  echo "under a 256 MB limit: exit $oom_status, stderr: $(cat "$work/oom.err")"; status=1
else
  echo "under a 256 MB limit: \"treskdump: Memoria insufficiente.\", exit 1"
fi
# Memory recovery: after the 200 MB file runs out of memory, the next input
# of the same run still converts, byte for byte.
small=examples/lista_nuova.PRG
mkdir -p "$work/after-oom"
set +e
(ulimit -v 262144; "$dump" -d "$work/after-oom" "$(make_file ones 200)" "$small") 2>"$work/oom2.err"
oom_status=$?
set -e
if [ "$oom_status" -ne 1 ] || [ "$(cat "$work/oom2.err")" != "treskdump: Memoria insufficiente." ] ||
    ! cmp -s "$work/after-oom/lista_nuova.PRG.txt" "$small.txt"; then
  echo "after running out of memory: exit $oom_status, stderr: $(cat "$work/oom2.err")"; status=1
else
  echo "after \"Memoria insufficiente.\" the next input converts exactly"
fi

# Safe replace: a good report, then the 200 MB file converted into the same
# name under a 200 KiB file-size limit. The converter must not be killed by
# SIGXFSZ, must say the disk is full, and must leave the good report whole and
# nothing else in its folder.
mkdir -p "$work/replace"
report=$work/replace/rapporto.txt
"$dump" -o "$report" "$small"
before=$(md5sum <"$report")
set +e
(ulimit -f 200; "$dump" -o "$report" "$(make_file ones 200)") 2>"$work/fsize.err"
fsize_status=$?
set -e
if [ "$fsize_status" -ne 1 ] ||
    [ "$(cat "$work/fsize.err")" != "treskdump: Disco pieno durante l'accesso a $report." ] ||
    [ "$(md5sum <"$report")" != "$before" ] || [ "$(ls -A "$work/replace")" != rapporto.txt ]; then
  echo "over the file-size limit: exit $fsize_status, stderr: $(cat "$work/fsize.err"), folder: $(ls -A "$work/replace")"
  status=1
else
  echo "over a 200 KiB file-size limit: \"Disco pieno\", exit 1, the old report whole, nothing left beside it"
fi
# The viewer itself: the 200 MB file chosen in the dialog, its report saved,
# and the dialog still answering afterwards; then the same file under a real
# memory limit: the message, an empty list, and the next load and its report
# exact (tests/hardening, GUI part).
gui=$build/tests/hardening/hardening_gui_tests
if [ -x "$gui" ]; then
  if ! TRESK_HOSTILE_PRG=$(make_file ones 200) xvfb-run -a -s "-screen 0 1280x1024x24" \
      "$gui" --gtest_filter='DialogHostileSizes.*' >"$work/gui.log" 2>&1; then
    cat "$work/gui.log"; status=1
  fi
  grep -E '^dialog,' "$work/gui.log" || true
  if ! grep -q 'OK \] DialogHostileSizes' "$work/gui.log"; then
    echo "the dialog test of the 200 MB file did not pass"; status=1
  fi
fi
echo "hostile stage: $((SECONDS - start)) s"
exit "$status"
