; tarne-1.0-setup.exe: installs NPTARNE.DLL and tarne.exe, makes the plug-in known to
; Mozilla-family browsers, opens .wrl and .wrz files with tarne.exe view, and leaves an
; uninstaller that takes away exactly what was added. Built by cmake/windows.cmake
; (target `installer`) with makensis:
;   makensis -DDLL=path\NPTARNE.DLL -DEXE=path\tarne.exe -DOUTFILE=setup.exe windows-setup.nsi
; /S installs and uninstalls silently.
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!define PRODUCT "Tarne"
!define VERSION "1.0.0.1"
!define PLUGIN_KEY "SOFTWARE\MozillaPlugins\@tarne/Tarne"
!define OWN_KEY "SOFTWARE\Tarne"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tarne"
!define FILE_TYPE "Tarne.World"

Name "${PRODUCT} 1.0"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
InstallDirRegKey HKLM "${OWN_KEY}" "InstallDir"
ShowInstDetails nevershow
ShowUninstDetails nevershow

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; An extension's file type before we took it over, kept in our own key so that the
; uninstaller gives it back (an empty value: the extension had none).
!macro TakeExtension extension
    ReadRegStr $0 HKCR "${extension}" ""
    StrCmp $0 "${FILE_TYPE}" +2
    WriteRegStr HKLM "${OWN_KEY}" "Before${extension}" $0
    WriteRegStr HKCR "${extension}" "" "${FILE_TYPE}"
!macroend

!macro GiveBackExtension extension
    ReadRegStr $0 HKCR "${extension}" ""
    StrCmp $0 "${FILE_TYPE}" 0 +7
    ReadRegStr $1 HKLM "${OWN_KEY}" "Before${extension}"
    StrCmp $1 "" 0 +4
    DeleteRegValue HKCR "${extension}" ""
    DeleteRegKey /ifempty HKCR "${extension}"
    Goto +2
    WriteRegStr HKCR "${extension}" "" $1
!macroend

Section "Tarne"
    SetOutPath "$INSTDIR"
    File "${DLL}"
    File "${EXE}"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${OWN_KEY}" "InstallDir" "$INSTDIR"

    ; What a Mozilla-family browser reads to find a plug-in outside its own folder.
    WriteRegStr HKLM "${PLUGIN_KEY}" "Path" "$INSTDIR\NPTARNE.DLL"
    WriteRegStr HKLM "${PLUGIN_KEY}" "Description" "VRML World"
    WriteRegStr HKLM "${PLUGIN_KEY}" "ProductName" "${PRODUCT} 1.0"
    WriteRegStr HKLM "${PLUGIN_KEY}" "Vendor" "${PRODUCT}"
    WriteRegStr HKLM "${PLUGIN_KEY}" "Version" "${VERSION}"
    WriteRegStr HKLM "${PLUGIN_KEY}\MimeTypes\x-world/x-vrml" "Description" "VRML Worlds"
    WriteRegStr HKLM "${PLUGIN_KEY}\MimeTypes\x-world/x-vrml" "Suffixes" "wrl,wrz"
    WriteRegStr HKLM "${PLUGIN_KEY}\MimeTypes\model/vrml" "Description" "VRML Worlds"
    WriteRegStr HKLM "${PLUGIN_KEY}\MimeTypes\model/vrml" "Suffixes" "wrl,wrz"

    WriteRegStr HKCR "${FILE_TYPE}" "" "VRML World"
    WriteRegStr HKCR "${FILE_TYPE}\DefaultIcon" "" "$INSTDIR\tarne.exe,0"
    WriteRegStr HKCR "${FILE_TYPE}\shell\open\command" "" '"$INSTDIR\tarne.exe" view "%1"'
    !insertmacro TakeExtension ".wrl"
    !insertmacro TakeExtension ".wrz"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} 1.0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    !insertmacro GiveBackExtension ".wrl"
    !insertmacro GiveBackExtension ".wrz"
    DeleteRegKey HKCR "${FILE_TYPE}"
    DeleteRegKey HKLM "${PLUGIN_KEY}"
    DeleteRegKey /ifempty HKLM "SOFTWARE\MozillaPlugins"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${OWN_KEY}"
    Delete "$INSTDIR\NPTARNE.DLL"
    Delete "$INSTDIR\tarne.exe"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd
