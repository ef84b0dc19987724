#!/bin/sh
# same_pictures: renders a world with the Windows tarne.exe (under the emulator) and with
# the Linux build's tarne, the same command in each, and compares every picture written
# (-o and a script's shots) pixel by pixel. Identical files pass at once; otherwise
# png_diff counts the differing pixels, and more than ALLOWED in one picture fails.
#
# Usage: same_pictures.sh EMULATOR TARNE_EXE LINUX_TARNE PNG_DIFF ALLOWED WORLD [ARG...]
#   ARG: more arguments of `tarne render WORLD -o out.png`, e.g. --script FILE
# Exits 77 (skipped) when the Linux build's tarne is not there.
emulator=$1 windows=$2 linux=$3 png_diff=$4 allowed=$5 world=$6
shift 6
if [ ! -x "$linux" ]; then
    echo "same_pictures: no Linux build at $linux; build it first (tools/test.sh)"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-same.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir "$work/windows" "$work/linux"
(cd "$work/windows" && "$emulator" "$windows" render "$world" -o out.png "$@") || {
    echo "same_pictures: tarne.exe render failed"
    exit 1
}
(cd "$work/linux" && TARNE_NO_DIALOGS=1 "$linux" render "$world" -o out.png "$@") || {
    echo "same_pictures: the Linux tarne render failed"
    exit 1
}
failures=0
for picture in "$work/linux"/*.png; do
    name=$(basename "$picture")
    if cmp -s "$picture" "$work/windows/$name"; then
        echo "same_pictures: $name: byte-identical"
        continue
    fi
    report=$("$png_diff" "$picture" "$work/windows/$name")
    echo "same_pictures: $name: $report"
    count=$(echo "$report" | sed -n 's/.*, \([0-9]*\) pixels differ.*/\1/p')
    if [ -z "$count" ] || [ "$count" -gt "$allowed" ]; then failures=$((failures + 1)); fi
done
[ "$failures" -eq 0 ]
