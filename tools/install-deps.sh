#!/bin/sh
# Installs the Debian 12 packages Tarne's build and tests need, only those missing.
# Runs apt-get as root (through sudo when not root).
# Usage: install-deps.sh [--fuzz | --format | --bench | --windows]
set -e
packages="cmake g++ make libgtest-dev libgmock-dev libbenchmark-dev libpng-dev libjpeg62-turbo-dev libgif-dev zlib1g-dev"
# The interactive viewer: SDL2, and a virtual X server for its tests.
packages="$packages libsdl2-dev xvfb xauth"
# The sound engine: OpenAL Soft mixes and plays, libsndfile decodes the clips.
packages="$packages libopenal-dev libsndfile1-dev"
# The install test: the desktop entry, the file type package (parsed, compiled and asked
# which type a file is) and the manual page are checked with the desktop's own tools.
packages="$packages desktop-file-utils shared-mime-info libxml2-utils libglib2.0-bin man-db groff-base"
case "${1:-}" in
--fuzz) packages="$packages clang libclang-rt-14-dev" ;;
--format) packages="$packages clang-format" ;;
# The frame-time comparison draws the same worlds with Mesa's llvmpipe through OSMesa;
# only that benchmark needs it, never the build or the tests.
--bench) packages="$packages libosmesa6-dev" ;;
# The 32-bit Windows build: the cross compiler with std::thread, zlib for the target,
# what tools/windows-deps.sh needs to build the other libraries from Debian's sources,
# and Wine (its 32-bit half is an i386 package) with NSIS for the installer.
--windows) packages="$packages g++-mingw-w64-i686-posix libz-mingw-w64-dev dpkg-dev nasm
    wine wine32:i386 nsis" ;;
esac
missing=""
for package in $packages; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
if [ -n "$missing" ]; then
    echo "installing:$missing"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    case "$missing" in
    *:i386*) dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386 ;;
    esac
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
fi
