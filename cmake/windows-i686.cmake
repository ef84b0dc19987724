# Cross-builds Tarne for 32-bit Windows on Debian 12: NPTARNE.DLL and the programs
# beside it. Use: cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/windows-i686.cmake
#
# The compilers are mingw-w64's posix-threads flavour (g++-mingw-w64-i686-posix): the
# win32 flavour has no std::thread or std::mutex. Everything links statically, so
# neither the DLL nor a program needs libstdc++, libgcc or libwinpthread beside it: a
# browser loads one file. What is built runs under Wine (tests, try_run).
#
# The libraries built for the target by tools/windows-deps.sh are looked for in
# TARNE_WINDOWS_DEPS (default: build-windows-deps/i686-w64-mingw32 at the top of the
# source tree); zlib comes from Debian's libz-mingw-w64-dev in the compiler's own root.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(TARNE_WINDOWS_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TARNE_WINDOWS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNE_WINDOWS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TARNE_WINDOWS_TRIPLE}-windres)
# The compilers' names end in -posix, which hides the binutils prefix from CMake's guess.
set(CMAKE_AR ${TARNE_WINDOWS_TRIPLE}-ar CACHE FILEPATH "archiver for the target")
set(CMAKE_RANLIB ${TARNE_WINDOWS_TRIPLE}-ranlib CACHE FILEPATH "ranlib for the target")
set(CMAKE_OBJDUMP ${TARNE_WINDOWS_TRIPLE}-objdump CACHE FILEPATH "objdump for the target")
set(CMAKE_STRIP ${TARNE_WINDOWS_TRIPLE}-strip CACHE FILEPATH "strip for the target")

set(CMAKE_CROSSCOMPILING_EMULATOR wine)

# The toolchain file is read again for every try_compile, where only the environment
# and the variables named here carry over.
if(NOT TARNE_WINDOWS_DEPS)
    if(DEFINED ENV{TARNE_WINDOWS_DEPS})
        set(TARNE_WINDOWS_DEPS $ENV{TARNE_WINDOWS_DEPS})
    else()
        get_filename_component(TARNE_WINDOWS_DEPS
            "${CMAKE_CURRENT_LIST_DIR}/../build-windows-deps/${TARNE_WINDOWS_TRIPLE}" ABSOLUTE)
    endif()
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARNE_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${TARNE_WINDOWS_TRIPLE} ${TARNE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config answers for the target's libraries, never the build machine's.
set(ENV{PKG_CONFIG_LIBDIR}
    "${TARNE_WINDOWS_DEPS}/lib/pkgconfig:/usr/${TARNE_WINDOWS_TRIPLE}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")

# Floats in SSE2 registers as on x86-64 Linux, not in the x87 unit with its excess
# precision, so the renderer rounds as the Linux build does. The stack is realigned on
# entry because a browser or Windows itself may call in with 4-byte alignment, where
# SSE2 spills would fault.
set(TARNE_TARGET_FLAGS "-msse2 -mfpmath=sse -mstackrealign")
set(CMAKE_C_FLAGS_INIT "${TARNE_TARGET_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${TARNE_TARGET_FLAGS}")

set(TARNE_STATIC_LINK "-static -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${TARNE_STATIC_LINK}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${TARNE_STATIC_LINK}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${TARNE_STATIC_LINK}")
# find_library takes static archives only (libz-mingw-w64-dev also ships an import
# library, which would make the DLL need zlib1.dll).
set(CMAKE_USER_MAKE_RULES_OVERRIDE "${CMAKE_CURRENT_LIST_DIR}/windows-static.cmake")
set(ZLIB_USE_STATIC_LIBS ON)
