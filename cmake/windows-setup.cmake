# The Windows build's installer and its tests under Wine (after the plug-in and host).
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
