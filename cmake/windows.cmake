# The 32-bit Windows build (toolchain: cmake/windows-i686.cmake; run by
# tools/test-windows.sh): NPTARNE.DLL from the plug-in's own folders, built against the
# real Windows headers and libraries, and the Windows tests under Wine. The window
# system stand-in (platform/) is Linux's alone: here `platform` is Windows itself.
enable_language(RC)

find_package(PNG REQUIRED)
find_package(JPEG REQUIRED)
find_package(GIF REQUIRED)
find_package(ZLIB REQUIRED)

# The system DLLs the plug-in calls: windows and messages, drawing, DrawDib, COM.
add_library(platform INTERFACE)
target_link_libraries(platform INTERFACE user32 gdi32 msvfw32 ole32)
# The sound engine on DirectSound 3-D, a static library linked into NPTARNE.DLL.
tarne_folder_in_target(platform/sound soundengine)
add_subdirectory(platform/sound)

add_subdirectory(base)
add_subdirectory(memory)
add_subdirectory(resources)
add_subdirectory(image)
add_subdirectory(world)
add_subdirectory(render)
add_subdirectory(audio)
add_subdirectory(viewer)
add_subdirectory(dashboard)
add_subdirectory(plugin/api)
add_subdirectory(plugin)
add_subdirectory(host)

# tarne-1.0-setup.exe (cmake/windows-setup.nsi): the DLL and tarne.exe with their
# registration, built by NSIS's makensis beside them in bin/.
find_program(TARNE_MAKENSIS makensis REQUIRED)
set(TARNE_SETUP ${CMAKE_BINARY_DIR}/bin/tarne-1.0-setup.exe)
add_custom_command(OUTPUT ${TARNE_SETUP}
    COMMAND ${TARNE_MAKENSIS} -V2 -DDLL=$<TARGET_FILE:nptarne> -DEXE=$<TARGET_FILE:tarne>
            -DOUTFILE=${TARNE_SETUP} ${CMAKE_CURRENT_LIST_DIR}/windows-setup.nsi
    DEPENDS nptarne tarne ${CMAKE_CURRENT_LIST_DIR}/windows-setup.nsi
    COMMENT "Building the installer tarne-1.0-setup.exe")
add_custom_target(installer ALL DEPENDS ${TARNE_SETUP})

enable_testing()
add_subdirectory(tests/windows)
