; Installer of Velko Options for the current user, built with makensis (target
; `installer` of the Windows build):
;   makensis -DVERSION=1.0 -DSOURCE_DIR=<deployable folder> -DFILE_LIST=<list.nsh>
;            -DICON=<app.ico> -DOUT_FILE=VelkoOptionsSetup.exe VelkoOptions.nsi
;
; Installs into %LOCALAPPDATA%\Programs\Velko Options without administrator
; rights, so that the settings folder "system" beside the programs stays writable.
; Silent use: VelkoOptionsSetup.exe /S [/AUTOSTART] [/D=<folder>]
;             Uninstall.exe /S [/REMOVESETTINGS]
; Both stop running copies of the programs first: the configurator's window
; "VelkoOptionsGUI" and the agent's window "VelkoOptions" get WM_CLOSE.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define PRODUCT "Velko Options"
!define GUI_EXE "VelkoOptionsGUI.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\VelkoOptions"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"

Name "${PRODUCT}"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Velko"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${MUI_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${GUI_EXE}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

LangString NameAutostart ${LANG_ENGLISH} "Start at log-on"
LangString NameAutostart ${LANG_SIMPCHINESE} "登录时启动"
LangString NameSettings ${LANG_ENGLISH} "Remove my settings"
LangString NameSettings ${LANG_SIMPCHINESE} "删除我的设置"

; Ends running copies: the configurator closes the agent as "exit" does; an agent
; without a configurator is closed directly. Each program's process is opened
; (SYNCHRONIZE) before its window is asked to close and then waited for through
; that handle, at most 15 s each: once a process has ended, its files and the
; folders it wrote to are free, so what follows removes them at the first try.
!define SYNCHRONIZE 0x00100000
!macro StopPrograms un
; $0: a window title in, its process handle (or 0) out; the window in $1.
Function ${un}OpenProgram
    Exch $0
    Push $2
    FindWindow $1 "" $0
    StrCpy $0 0
    ${If} $1 <> 0
        System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2) i'
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r2) p .r0'
    ${EndIf}
    Pop $2
    Exch $0
FunctionEnd

Function ${un}StopPrograms
    Push "VelkoOptionsGUI"
    Call ${un}OpenProgram
    Pop $5
    StrCpy $7 $1
    Push "VelkoOptions"
    Call ${un}OpenProgram
    Pop $6
    ${If} $7 <> 0
        SendMessage $7 ${WM_CLOSE} 0 0 /TIMEOUT=10000
    ${EndIf}
    FindWindow $0 "" "VelkoOptions"
    ${If} $0 <> 0
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    ${If} $5 <> 0
        System::Call 'kernel32::WaitForSingleObject(p r5, i 15000) i'
        System::Call 'kernel32::CloseHandle(p r5) i'
    ${EndIf}
    ${If} $6 <> 0
        System::Call 'kernel32::WaitForSingleObject(p r6, i 15000) i'
        System::Call 'kernel32::CloseHandle(p r6) i'
    ${EndIf}
FunctionEnd
!macroend
!insertmacro StopPrograms ""
!insertmacro StopPrograms "un."

Section "${PRODUCT}" SecProgram
    SectionIn RO
    Call StopPrograms
    SetOutPath "$INSTDIR"
    File /r "${SOURCE_DIR}\*.*"
    CreateDirectory "$INSTDIR\system"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${GUI_EXE}"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Velko"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${GUI_EXE}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; At log-on the configurator starts the agent and waits in the tray.
Section /o "$(NameAutostart)" SecAutostart
    WriteRegStr HKCU "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${GUI_EXE}" --quiet'
SectionEnd

Function .onInit
    !insertmacro MUI_LANGDLL_DISPLAY
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/AUTOSTART" $1
    ${IfNot} ${Errors}
        SectionSetFlags ${SecAutostart} ${SF_SELECTED}
    ${EndIf}
FunctionEnd

Section "un.${PRODUCT}" SecUnProgram
    SectionIn RO
    Call un.StopPrograms
    ; Only what the installer put there: a folder chosen by the user may hold
    ; other files.
    !include "${FILE_LIST}"
    Delete "$INSTDIR\Uninstall.exe"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; The configurator keeps no compiled pages any more; earlier versions kept
    ; them here. Its process has ended (StopPrograms), so nothing writes there
    ; now; anything else in the folder is not ours to remove.
    RMDir /r "$LOCALAPPDATA\VelkoOptionsGUI\cache\qmlcache"
    RMDir "$LOCALAPPDATA\VelkoOptionsGUI\cache"
    RMDir "$LOCALAPPDATA\VelkoOptionsGUI"
SectionEnd

Section /o "un.$(NameSettings)" SecUnSettings
    RMDir /r "$INSTDIR\system"
    ; Where the programs' folder could not be written they kept them here.
    RMDir /r "$APPDATA\${PRODUCT}\system"
    RMDir "$APPDATA\${PRODUCT}"
SectionEnd

Section "-un.Folder"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVESETTINGS" $1
    ${IfNot} ${Errors}
        SectionSetFlags ${SecUnSettings} ${SF_SELECTED}
    ${EndIf}
FunctionEnd
