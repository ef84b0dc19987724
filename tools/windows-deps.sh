#!/bin/sh
# Builds the libraries Tarne decodes pictures and sound clips with, for 32-bit Windows
# (i686-w64-mingw32), from Debian 12's own source packages: the DLL then decodes a
# picture exactly as the Linux build does, with the same code at the same version.
#
# Usage: tools/windows-deps.sh [--force]
#
# The libraries go, as static archives with their headers and pkg-config files, into
# build-windows-deps/i686-w64-mingw32 (TARNE_WINDOWS_DEPS_CACHE overrides the folder
# build-windows-deps; then tell cmake/windows-i686.cmake through TARNE_WINDOWS_DEPS,
# set to that folder's i686-w64-mingw32). A later run finds them there and builds nothing; --force builds
# them all again. The version of each is the one the Linux build links (its -dev
# package, when installed), else Debian's current one. What the build needs is
# installed with apt-get as root (only what is missing), and Debian's source records
# are switched on when the system has none.
#
#   libjpeg-turbo  static libjpeg (the 6.2 interface of libjpeg62-turbo), SIMD by nasm
#   libpng1.6      static libpng16, over zlib from libz-mingw-w64-dev
#   giflib         static libgif
#   libsndfile     static libsndfile: WAV, AIFF, AU and the other built-in formats;
#                  Ogg Vorbis, FLAC, Opus and MPEG would need four more libraries
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${TARNE_WINDOWS_DEPS_CACHE:-$root/build-windows-deps}
triple=i686-w64-mingw32
prefix=$cache/$triple
toolchain=$root/cmake/windows-i686.cmake
jobs=2
# Raised whenever the way a library is built changes: older builds are then rebuilt.
recipe=2
force=""
[ "${1:-}" = "--force" ] && force=1

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

# source package, the Linux build's -dev package that fixes its version, and a file
# whose presence says the installation is complete
libraries="libjpeg-turbo:libjpeg62-turbo-dev:lib/libjpeg.a
libpng1.6:libpng-dev:lib/libpng16.a
giflib:libgif-dev:lib/libgif.a
libsndfile:libsndfile1-dev:lib/libsndfile.a"

# The Debian version of `source` to build: the one behind the installed `dev` package,
# or "" for whatever apt-get source offers.
wanted_version()
{
    if dpkg-query -W -f='${Status}' "$2" 2>/dev/null | grep -q "install ok installed"; then
        dpkg-query -W -f='${source:Version}' "$2"
    fi
}

# The stamp of a finished build: the file named by source and version, written last.
stamp_of()
{
    echo "$prefix/.built/$1_$2"
}

is_built()
{
    source=$1 version=$2 file=$3
    [ -z "$force" ] || return 1
    [ -f "$prefix/$file" ] || return 1
    if [ -n "$version" ]; then
        grep -qs "recipe $recipe\$" "$(stamp_of "$source" "$version")"
    else
        cat "$prefix/.built/${source}_"* 2> /dev/null | grep -qs "recipe $recipe\$"
    fi
}

todo=""
for entry in $libraries; do
    source=${entry%%:*}
    rest=${entry#*:}
    version=$(wanted_version "$source" "${rest%%:*}")
    if is_built "$source" "$version" "${rest#*:}"; then
        built=$(cut -d' ' -f2 "$prefix/.built/${source}_"*)
        note=""
        [ -z "$version" ] || [ "$built" = "$version" ] ||
            note=" (the Linux build has $version; --force tries for it again)"
        echo "windows-deps: reusing $source $built in $prefix$note"
    else
        todo="$todo $source=$version"
    fi
done
[ -n "$todo" ] || exit 0

# What building them takes, installed only when missing.
missing=""
for package in g++-mingw-w64-i686-posix libz-mingw-w64-dev dpkg-dev cmake make nasm; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
updated=""
if [ -n "$missing" ]; then
    echo "windows-deps: installing$missing"
    $sudo apt-get update -qq
    updated=1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi

# apt-get source needs source records: Debian's own sources, with deb-src added.
if ! grep -Eqs '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
    /etc/apt/sources.list.d/*.list; then
    echo "windows-deps: switching on Debian's source records"
    $sudo sed -i 's/^Types: deb$/Types: deb deb-src/' /etc/apt/sources.list.d/debian.sources
    updated=""
fi
first=${todo# }
first=${first%%=*}
if [ -z "$updated" ] && ! apt-cache showsrc "$first" 2> /dev/null | grep -q '^Package:'; then
    $sudo apt-get update -qq
fi

mkdir -p "$cache/src" "$cache/logs" "$prefix/.built"

# Fetches and unpacks the source package (Debian's patches applied) into $cache/src,
# and prints the folder it unpacked to. A mirror may list a security update whose
# source it does not hold: then the newest version it does hold is built, and said so.
fetch()
{
    source=$1 version=$2
    folder=$cache/src/$source
    log=$cache/logs/$source-source.log
    : > "$log"
    others=$(apt-cache showsrc --only-source "$source" 2> /dev/null | sed -n 's/^Version: //p' |
        sort -u | while read -r each; do
            [ "$each" = "$version" ] || echo "$each"
        done | sort -r -V)
    for each in ${version:-} $others; do
        rm -rf "$folder"
        mkdir -p "$folder"
        if (cd "$folder" && apt-get source -qq --only-source "$source=$each") >> "$log" 2>&1; then
            if [ -n "$version" ] && [ "$each" != "$version" ]; then
                echo "windows-deps: WARNING: the source of $source $version cannot be had here;" \
                    "building $each instead" >&2
            fi
            find "$folder" -mindepth 1 -maxdepth 1 -type d | head -1
            return 0
        fi
    done
    tail -20 "$log" >&2
    echo "windows-deps: apt-get source $source failed" >&2
    exit 1
}

# Runs a build step with its output in the library's log, showing the log's end when
# the step fails.
logged()
{
    log=$1
    shift
    if ! "$@" >> "$log" 2>&1; then
        tail -40 "$log" >&2
        echo "windows-deps: failed: $* (whole log: $log)" >&2
        exit 1
    fi
}

cmake_library()
{
    source=$1 tree=$2
    shift 2
    log=$cache/logs/$source.log
    builddir=$cache/cmake-builds/$source
    rm -rf "$builddir"
    logged "$log" cmake -S "$tree" -B "$builddir" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
        -DTARNE_WINDOWS_DEPS="$prefix" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
    logged "$log" cmake --build "$builddir" -j "$jobs"
    logged "$log" cmake --install "$builddir"
}

build_libjpeg_turbo()
{
    # Its own GNUInstallDirs takes folder names relative to the current folder.
    cmake_library libjpeg-turbo "$1" -DCMAKE_INSTALL_LIBDIR="$prefix/lib" \
        -DCMAKE_INSTALL_INCLUDEDIR="$prefix/include" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
        -DWITH_TURBOJPEG=OFF -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm
}

build_libpng1_6()
{
    cmake_library libpng1.6 "$1" -DCMAKE_INSTALL_LIBDIR=lib -DPNG_SHARED=OFF -DPNG_STATIC=ON \
        -DPNG_TESTS=OFF
}

# giflib has a plain Makefile: its library target, with the cross compiler.
build_giflib()
{
    log=$cache/logs/giflib.log
    logged "$log" make -C "$1" -j "$jobs" libgif.a CC=$triple-gcc-posix AR=$triple-ar \
        OFLAGS="-O2 -msse2 -mfpmath=sse -mstackrealign"
    mkdir -p "$prefix/lib" "$prefix/include"
    cp "$1/libgif.a" "$prefix/lib/"
    cp "$1/gif_lib.h" "$prefix/include/"
}

build_libsndfile()
{
    cmake_library libsndfile "$1" -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF -DBUILD_PROGRAMS=OFF \
        -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF \
        -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DENABLE_PACKAGE_CONFIG=ON
}

for item in $todo; do
    source=${item%%=*}
    version=${item#*=}
    echo "windows-deps: building $source ${version:-(Debian's current version)} for $triple"
    rm -f "$cache/logs/$source.log"
    tree=$(fetch "$source" "$version")
    built=$(dpkg-parsechangelog -l "$tree/debian/changelog" -S Version)
    [ -n "$version" ] || version=$built
    rm -f "$prefix/.built/${source}_"*
    "build_$(echo "$source" | tr '.-' '__')" "$tree"
    file=$(echo "$libraries" | grep "^$source:" | cut -d: -f3)
    if [ ! -f "$prefix/$file" ]; then
        echo "windows-deps: $source built, but $prefix/$file is missing" >&2
        exit 1
    fi
    # The stamp is named by the version wanted, and says which version was built.
    echo "$source $built recipe $recipe" > "$(stamp_of "$source" "$version")"
done
echo "windows-deps: the libraries are in $prefix"
