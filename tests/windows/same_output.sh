#!/bin/sh
# same_output: runs one tarne command with the Windows tarne.exe (under the emulator) and
# with the Linux build's tarne, and compares what each prints on standard output, line
# ends aside (a Windows console program ends its lines with CR LF), and the exit status.
#
# Usage: same_output.sh EMULATOR TARNE_EXE LINUX_TARNE ARG...
# Exits 77 (skipped) when the Linux build's tarne is not there.
emulator=$1 windows=$2 linux=$3
shift 3
if [ ! -x "$linux" ]; then
    echo "same_output: no Linux build at $linux; build it first (tools/test.sh)"
    exit 77
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-same.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$emulator" "$windows" "$@" > "$work/windows.out"
windowsStatus=$?
"$linux" "$@" > "$work/linux.out"
linuxStatus=$?
tr -d '\r' < "$work/windows.out" > "$work/windows.txt"
if [ "$windowsStatus" -ne "$linuxStatus" ]; then
    echo "same_output: tarne $*: exit $windowsStatus on Windows, $linuxStatus on Linux"
    exit 1
fi
if ! cmp -s "$work/linux.out" "$work/windows.txt"; then
    echo "same_output: tarne $*: the outputs differ:"
    diff "$work/linux.out" "$work/windows.txt" | head -20
    exit 1
fi
echo "same_output: tarne $*: the same $(wc -l < "$work/linux.out") lines, exit $linuxStatus"
