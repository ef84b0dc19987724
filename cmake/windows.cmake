# The 32-bit Windows build's platform (toolchain: cmake/windows-i686.cmake; run by
# tools/test-windows.sh): NPTARNE.DLL is built from the plug-in's own folders against
# the real Windows headers and libraries. The window system stand-in (platform/) is
# Linux's alone: here `platform` is Windows itself.
enable_language(RC)

# The system DLLs the plug-in calls: windows and messages, drawing, DrawDib, COM.
add_library(platform INTERFACE)
target_link_libraries(platform INTERFACE user32 gdi32 msvfw32 ole32)
# The sound engine on DirectSound 3-D, a static library linked into NPTARNE.DLL.
tarne_folder_in_target(platform/sound soundengine)
add_subdirectory(platform/sound)
