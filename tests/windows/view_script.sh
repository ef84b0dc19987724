#!/bin/sh
# view_script: tarne.exe view shows the world in a real window on the (virtual) desktop,
# plays a script in it (three frames, a shot, quit) and ends by itself; the shot is a
# PNG. Sound stays off: no sound engine is registered under Wine.
#
# Usage: view_script.sh EMULATOR TARNE_EXE WORLD
emulator=$1 windows=$2 world=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-view.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'frames 3\nshot view.png\nquit\n' > "$work/steps"
(cd "$work" && timeout 60 "$emulator" "$windows" view "$world" --no-sound --script steps)
status=$?
if [ "$status" -ne 0 ]; then
    echo "view_script: tarne.exe view ended with $status (124: still open after 60 s)"
    exit 1
fi
if [ "$(head -c 8 "$work/view.png" 2> /dev/null | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ]; then
    echo "view_script: the shot is not a PNG"
    exit 1
fi
echo "view_script: shown, scripted and closed"
