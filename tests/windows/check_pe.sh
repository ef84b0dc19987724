#!/bin/sh
# check_pe: holds a built Windows file to what it must be: a 32-bit PE (PE32) that
# imports only from the DLLs allowed it (so no libstdc++, libgcc or libwinpthread DLL,
# nor a library's own DLL, has to travel with it) and, when EXPORTS is given, exports
# exactly those names, undecorated.
#
# Usage: check_pe.sh OBJDUMP FILE "ALLOWED" ["EXPORTS"]
#   ALLOWED: DLL names, shell patterns matched without regard to case
#   EXPORTS: the names the file must export, no more and no fewer
objdump=$1 file=$2 allowed=$3 exports=${4:-}
dump=$("$objdump" -p "$file") || {
    echo "check_pe: $objdump -p $file failed"
    exit 1
}
failures=0
fail()
{
    echo "check_pe: $file: $*"
    failures=$((failures + 1))
}

echo "$dump" | grep -q 'file format pei-i386' || fail "not a PE file for i386"
echo "$dump" | grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' || fail "not PE32"

imports=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || fail "imports nothing at all (the dump was not understood)"
for dll in $imports; do
    lower=$(echo "$dll" | tr 'A-Z' 'a-z')
    ok=""
    for pattern in $allowed; do
        pattern=$(echo "$pattern" | tr 'A-Z' 'a-z')
        # shellcheck disable=SC2254
        case "$lower" in $pattern) ok=1 ;; esac
    done
    [ -n "$ok" ] || fail "imports $dll, which is not allowed"
done

if [ -n "$exports" ]; then
    found=$(echo "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
    wanted=$(for name in $exports; do echo "$name"; done | sort)
    [ "$found" = "$wanted" ] || fail "exports [$(echo $found)], not [$(echo $wanted)]"
fi

if [ "$failures" -ne 0 ]; then
    echo "check_pe: $file: $failures faults"
    exit 1
fi
echo "check_pe: $file: PE32, imports only $(echo $imports)${exports:+, exports $(echo $exports)}"
