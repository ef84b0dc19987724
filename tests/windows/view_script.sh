#!/bin/sh
# view_script: tarne.exe view shows the world in a real window on the (virtual) desktop,
# plays a script in it (three frames, a shot, quit) and ends by itself; the shot is a
# PNG. "silent": the given world with --no-sound. "sound": a world written here with a
# looping Sound, played through the built-in engine on DirectSound (Wine's null ALSA
# device, tools/wine-run.sh); a set-up that failed would stop at a message box, which
# nobody closes, and the run would time out.
#
# Usage: view_script.sh EMULATOR TARNE_EXE silent WORLD
#        view_script.sh EMULATOR TARNE_EXE sound
emulator=$1 windows=$2 mode=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-view.XXXXXX")
trap 'rm -rf "$work"' EXIT
printf 'frames 3\nshot view.png\nquit\n' > "$work/steps"
if [ "$mode" = sound ]; then
    world=$work/sound.wrl
    cat > "$world" << 'WORLD'
#VRML V2.0 utf8
Shape {
  geometry IndexedFaceSet {
    coord Coordinate { point [ -1 -1 0, 1 -1 0, 0 1 0 ] }
    coordIndex [ 0 1 2 -1 ]
  }
}
Sound { source AudioClip { url "hum.wav" loop TRUE } }
WORLD
    # One second of silence: a WAV of 8000 Hz 16-bit one-channel samples, 16000 bytes.
    {
        printf 'RIFF\244\076\000\000WAVEfmt \020\000\000\000\001\000\001\000'
        printf '\100\037\000\000\200\076\000\000\002\000\020\000data\200\076\000\000'
        head -c 16000 /dev/zero
    } > "$work/hum.wav"
    sound=""
else
    world=$4
    sound=--no-sound
fi
(cd "$work" && timeout 60 "$emulator" "$windows" view "$world" $sound --script steps)
status=$?
if [ "$status" -ne 0 ]; then
    echo "view_script: tarne.exe view ended with $status (124: still open after 60 s)"
    exit 1
fi
if [ "$(head -c 8 "$work/view.png" 2> /dev/null | od -An -tx1 | tr -d ' \n')" != "89504e470d0a1a0a" ]; then
    echo "view_script: the shot is not a PNG"
    exit 1
fi
echo "view_script: shown, scripted and closed ($mode)"
