#!/bin/sh
# same_decoding: decodes the same files with decode_dump built for Windows (run under
# Wine) and built for this machine against Debian's libraries, and fails unless both
# decoded every file, in every way, to the same bytes.
#
# Usage: same_decoding.sh EMULATOR WINDOWS_DUMP LINUX_DUMP FILE...
emulator=$1 windows=$2 linux=$3
shift 3
[ $# -gt 0 ] || {
    echo "same_decoding: no files"
    exit 2
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$linux" "$@" > "$work/linux" || {
    cat "$work/linux"
    echo "same_decoding: the Linux build failed to decode"
    exit 1
}
# Wine sees the machine's root as drive Z:.
count=$#
for file in "$@"; do set -- "$@" "Z:$file"; done
shift "$count"
"$emulator" "$windows" "$@" > "$work/windows.crlf" || {
    cat "$work/windows.crlf"
    echo "same_decoding: the Windows build failed to decode"
    exit 1
}
tr -d '\r' < "$work/windows.crlf" > "$work/windows"
# Three ways for a JPEG, two for a PNG, one for a sound: never less than a line a file.
if [ "$(wc -l < "$work/linux")" -lt "$count" ]; then
    echo "same_decoding: fewer results than files"
    exit 1
fi
if ! diff "$work/linux" "$work/windows"; then
    echo "same_decoding: Windows (>) decodes differently from Linux (<)"
    exit 1
fi
echo "same_decoding: $(wc -l < "$work/linux") decodings of $count files alike"
