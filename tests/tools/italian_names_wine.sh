#!/usr/bin/env bash
# treskdump.exe under Wine with the names an Italian keyboard types: inputs
# and an output folder whose names hold every accented letter of Windows-1252
# it has (and ç ° § £ €). Each report lands under its input's own name, byte
# for byte the reviewed one, also on standard output; the message of a
# missing input reaches a redirected standard error as the bytes of the ANSI
# code page. An input path too long for the system is reported with the
# cause.
# Usage: italian_names_wine.sh TRESKDUMP_EXE EXAMPLES_DIR EMULATOR...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$1
examples=$2
shift 2
# Windows-1252 as the ANSI code page, UTF-8 for Linux's names.
export LC_ALL=it_IT.UTF-8
. "$root/tests/support/checks.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
windows_path() {
    printf 'Z:%s' "${1//\//\\}"
}
names=("àèéìòù ÀÈÉÌÒÙ.PRG" "séquence é.PRG" "ç°§£€.PRG")
mkdir "$work/in" "$work/uscità È"
for name in "${names[@]}"; do
    cp "$examples/lista_nuova.PRG" "$work/in/$name"
done
args=()
for name in "${names[@]}" "manca è.PRG"; do
    args+=("$(windows_path "$work/in/$name")")
done

status=0
"$@" "$exe" -d "$(windows_path "$work/uscità È")" "${args[@]}" >"$work/out" 2>"$work/err" ||
    status=$?
[ "$status" -eq 1 ] || fail "status $status for a run with one missing input, not 1"
for name in "${names[@]}"; do
    cmp -s "$work/uscità È/$name.txt" "$examples/lista_nuova.PRG.txt" ||
        fail "no report, or a wrong one, as $name.txt; the folder holds: $(ls "$work/uscità È")"
done
[ "$(ls "$work/uscità È" | wc -l)" -eq 3 ] || fail "other files in the folder: $(ls "$work/uscità È")"
printf 'treskdump: %s non trovato.\n' "$(windows_path "$work/in/manca è.PRG")" |
    iconv -f UTF-8 -t CP1252 >"$work/err.expected"
cmp -s "$work/err" "$work/err.expected" || fail "standard error: $(od -c "$work/err" | head -n 5)"
[ ! -s "$work/out" ] || fail "standard output is not empty"

"$@" "$exe" "${args[0]}" >"$work/out" || fail "status $? for a report to standard output"
cmp -s "$work/out" "$examples/lista_nuova.PRG.txt" || fail "the report on standard output differs"
# An input whose path is over 260 characters: converted where the system
# takes such paths, otherwise the message gives the cause.
long=$work/in
for part in 1 2 3 4 5 6; do
    long=$long/cartella_dal_nome_piuttosto_lungo_numero_$part
done
mkdir -p "$long"
cp "$examples/lista_nuova.PRG" "$long/${names[1]}"
status=0
"$@" "$exe" "$(windows_path "$long/${names[1]}")" >"$work/out" 2>"$work/err" || status=$?
if [ "$status" -eq 0 ]; then
    cmp -s "$work/out" "$examples/lista_nuova.PRG.txt" || fail "a long input path: a wrong report"
else
    printf 'treskdump: %s contiene un percorso non valido.\n' \
        "$(windows_path "$long/${names[1]}")" | iconv -f UTF-8 -t CP1252 >"$work/err.expected"
    cmp -s "$work/err" "$work/err.expected" ||
        fail "a long input path: $(iconv -f CP1252 -t UTF-8 "$work/err")"
fi
finish "ok: treskdump.exe with Italian names"
