#!/bin/sh
# installer: tarne-1.0-setup.exe installs silently into the Wine prefix of the run
# (tools/wine-run.sh): the files are in place, the plug-in key names the DLL, .wrl opens
# with tarne.exe view; then the uninstaller, silent too, leaves the registry as it was
# before the installation (HKLM\SOFTWARE and HKCR compared whole) and no folder behind.
#
# Usage: installer.sh EMULATOR SETUP_EXE
emulator=$1 setup=$2
set -u
work=$(mktemp -d "${TMPDIR:-/tmp}/tarne-setup.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail()
{
    echo "installer: $*"
    failures=$((failures + 1))
}

# The parts of the registry an installation may touch, as text without the export's
# own time stamps, and without the keys Wine itself fills in when a program first asks
# (the machine's network cards), which come and go whatever the installer does.
snapshot()
{
    for key in 'HKLM\SOFTWARE' 'HKCR'; do
        "$emulator" reg export "$key" "$work/part.reg" /y > /dev/null 2>&1
        iconv -f UTF-16 -t UTF-8 < "$work/part.reg" | tr -d '\r' | grep -v '^#time=' |
            awk '/^\[/ { wine = index($0, "\\CurrentVersion\\NetworkCards") > 0 } !wine'
    done > "$1"
}
# A string value of a key ("": the key's default value).
value()
{
    if [ -z "$2" ]; then
        "$emulator" reg query "$1" /ve
    else
        "$emulator" reg query "$1" /v "$2"
    fi 2> /dev/null | tr -d '\r' | sed -n "s/^ *${2:-(Default)} *REG_SZ *//p"
}

folder="$("$emulator" cmd /c echo %ProgramFiles% | tr -d '\r')\\Tarne"
unix_folder=$(winepath -u "$folder")
snapshot "$work/before.reg"

"$emulator" "$setup" /S || fail "the installer failed"
for file in NPTARNE.DLL tarne.exe uninstall.exe; do
    [ -f "$unix_folder/$file" ] || fail "no $file in $folder"
done
path=$(value 'HKLM\SOFTWARE\MozillaPlugins\@tarne/Tarne' Path)
[ "$path" = "$folder\\NPTARNE.DLL" ] || fail "the plug-in key's Path is '$path'"
suffixes=$(value 'HKLM\SOFTWARE\MozillaPlugins\@tarne/Tarne\MimeTypes\x-world/x-vrml' Suffixes)
[ "$suffixes" = "wrl,wrz" ] || fail "x-world/x-vrml has the suffixes '$suffixes'"
command=$(value 'HKCR\Tarne.World\shell\open\command' '')
[ "$command" = "\"$folder\\tarne.exe\" view \"%1\"" ] || fail ".wrl opens with '$command'"
[ "$(value 'HKCR\.wrz' '')" = "Tarne.World" ] || fail ".wrz is not Tarne's"

# The uninstaller copies itself away and returns at once; the folder going is its end.
"$emulator" "$unix_folder/uninstall.exe" /S || fail "the uninstaller failed"
tries=0
while [ -e "$unix_folder" ] && [ $tries -lt 60 ]; do
    sleep 0.5
    tries=$((tries + 1))
done
[ -e "$unix_folder" ] && fail "$folder is still there: $(ls "$unix_folder")"
snapshot "$work/after.reg"
if ! cmp -s "$work/before.reg" "$work/after.reg"; then
    fail "the registry differs from before the installation:"
    diff "$work/before.reg" "$work/after.reg" | head -20
fi
[ "$failures" -eq 0 ] && echo "installer: installed, registered and removed without a trace"
[ "$failures" -eq 0 ]
