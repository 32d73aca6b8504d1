; The per-user installer beside the zip: Tessaly into %LOCALAPPDATA%\Programs\Tessaly without
; administrator rights, a Start-menu shortcut, an entry in the current user's list of installed
; programs, and on request a start with Windows. Its uninstaller removes the program and never the
; user's list or settings.
;
; Built by scripts/package.sh: makensis -DVERSION=1.2.3 -DEXE=... -DREADME=... -DICON=... -DOUTFILE=...
; Silent: "/S" installs without a start with Windows, "/S /AUTOSTART" with it; the uninstaller takes "/S".
; Both end a running widget of the program folder first, and stop (exit code 2) when it stays.
; -DTARGET=amd64-unicode makes a 64-bit installer, for the 64-bit build where 32-bit programs cannot run.
!ifdef TARGET
Target "${TARGET}"
!else
Unicode true
!endif
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly"

Name "Tessaly ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tessaly"
; A later version goes where the user put the first one.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Tessaly"
VIAddVersionKey /LANG=2052 "FileDescription" "Tessaly 安装程序"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Tessaly"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tessaly.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; A running widget keeps its exe from being replaced or removed: the installed program asks the
; widget of its folder to quit, as its menu's "退出" does (it asks about unsaved editor text first),
; and waits for it. Only when a widget window is there at all: an older program without "--quit"
; would start a widget of its own instead.
!macro QUIT_RUNNING_WIDGET
  ${If} ${FileExists} "$INSTDIR\Tessaly.exe"
    ${Do}
      FindWindow $0 "#32770" "Tessaly"
      ${If} $0 == 0
        ${Break}
      ${EndIf}
      ClearErrors
      ExecWait '"$INSTDIR\Tessaly.exe" --quit' $0
      ${If} ${Errors}
      ${OrIf} $0 == 0
        ${Break}
      ${EndIf}
      ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tessaly 仍在运行。请从它的菜单选择“退出”，然后点“重试”。" /SD IDCANCEL IDCANCEL`
        Abort
      ${EndIf}
    ${Loop}
  ${EndIf}
!macroend

Section "Tessaly" SecProgram
  SectionIn RO
  SetShellVarContext current
  !insertmacro QUIT_RUNNING_WIDGET
  SetOutPath "$INSTDIR"
  File "/oname=Tessaly.exe" "${EXE}"
  File "/oname=README.txt" "${README}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tessaly.lnk" "$INSTDIR\Tessaly.exe" "" "$INSTDIR\Tessaly.exe" 0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tessaly"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tessaly"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tessaly.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The program writes the Run value itself, the same one its options dialog writes.
Section /o "开机时自动启动" SecAutostart
  ExecWait '"$INSTDIR\Tessaly.exe" --autostart on'
SectionEnd

Function .onInit
  SetShellVarContext current
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecAutostart} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext current
  ; First the widget, so that a refusal leaves everything as it was; then the Run value, while the
  ; program that knows its name is still there.
  !insertmacro QUIT_RUNNING_WIDGET
  ExecWait '"$INSTDIR\Tessaly.exe" --autostart off'
  Delete "$INSTDIR\Tessaly.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Tessaly.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The user's list and settings (Tessaly_items.txt, Tessaly.ini and the like) stay, and with them
  ; the folder: RMDir removes it only when it is empty.
  RMDir "$INSTDIR"
SectionEnd
