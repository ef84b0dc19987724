#!/bin/sh
# Runs a command with Wine made ready for Tarne's Windows programs, and takes it all
# down afterwards: a virtual X server (xvfb-run -a), and a fresh 32-bit Wine prefix and
# HOME in a temporary folder, so that no run leans on Wine state left by another.
#
# Usage: tools/wine-run.sh COMMAND [ARG...]
#   tools/wine-run.sh wine build-windows/tests/windows/toy/plugin_probe.exe
#   tools/wine-run.sh ctest --test-dir build-windows --output-on-failure
#
# The prefix is made by wineboot -i. In it, windows close without a window manager to
# ask (HKCU\Software\Wine\X11 Driver, Managed=N), and sound goes through ALSA, whose
# default device is a null sink (HOME/.asoundrc): a machine without a sound card still
# has a device for Wine's audio to open. Mono and Gecko stay off, as no installer could
# fetch them here. WINEDEBUG is -all unless set. The wine server stays up for the whole
# command, so the programs it starts do not each wait for a new one.
# TARNE_WINE_KEEP=1 leaves the folder in place and says where it is.
set -eu
if [ -z "${TARNE_WINE_DISPLAY:-}" ]; then
    export TARNE_WINE_DISPLAY=1
    exec xvfb-run -a -s "-screen 0 1280x1024x24" sh "$0" "$@"
fi
[ $# -gt 0 ] || {
    echo "usage: wine-run.sh COMMAND [ARG...]" >&2
    exit 2
}

work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-wine.XXXXXX")
export HOME="$work/home" WINEPREFIX="$work/prefix" WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
cleanup()
{
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
    if [ -n "${TARNE_WINE_KEEP:-}" ]; then
        echo "wine-run: the prefix is kept in $work" >&2
    else
        rm -rf "$work"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

mkdir -p "$HOME" "$WINEPREFIX"
cat > "$HOME/.asoundrc" << 'ALSA'
pcm.!default {
    type null
}
ALSA

started=$(date +%s)
wineserver -p
if ! wineboot -i > "$work/wineboot.log" 2>&1; then
    cat "$work/wineboot.log" >&2
    echo "wine-run: wineboot -i failed" >&2
    exit 1
fi
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f > /dev/null
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d alsa /f > /dev/null
echo "wine-run: Wine prefix ready in $(($(date +%s) - started)) s" >&2

status=0
"$@" || status=$?
exit $status
