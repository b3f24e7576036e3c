; The Windows installer of Kartwerk, built by `make windows-installer` (packaging/windows/installer.cmake
; passes VERSION, PROGRAM, CLIFFDATA, ICON and OUTFILE). It installs kartwerk.exe and cliffdata under
; Program Files\Kartwerk, a Start menu entry, the map types' association and an entry under
; "Add or remove programs"; its uninstaller takes all of them away again.
; Silent use: kartwerk-setup-VERSION.exe /S [/D=C:\Other Folder], uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kartwerk"
; SHCNE_ASSOCCHANGED: Explorer shows the new map icons and actions without a restart.
!define NOTIFY_ASSOCIATION_CHANGED "System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'"

Name "Kartwerk ${VERSION}"
; The line under each page names the program rather than the installer's maker.
BrandingText "Kartwerk ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Kartwerk"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "Kartwerk"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Kartwerk ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "2026 the Kartwerk developers"

; The installer and the uninstaller show the program's own icon.
!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section "Kartwerk"
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=kartwerk.exe" "${PROGRAM}"
  File "/oname=cliffdata" "${CLIFFDATA}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The entry shows the program's first icon, the program icon among its resources.
  CreateShortCut "$SMPROGRAMS\Kartwerk.lnk" "$INSTDIR\kartwerk.exe" "" "$INSTDIR\kartwerk.exe" 0

  ; The program writes the association itself (as on every start), so the installer and the
  ; program always agree on its keys and texts.
  nsExec::ExecToLog '"$INSTDIR\kartwerk.exe" register'
  Pop $0
  ${If} $0 != 0
    MessageBox MB_ICONEXCLAMATION "Kartwerk could not register the map file types ($0); it tries again on every start." /SD IDOK
  ${EndIf}
  ${NOTIFY_ASSOCIATION_CHANGED}

  SectionGetSize 0 $1
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Kartwerk"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kartwerk.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The association of one map type: the extension's key and the type's own key, wherever the
; program may have written them (the machine's classes, or the user's when it ran unelevated).
!macro RemoveMapType extension
  DeleteRegKey HKCR ".${extension}"
  DeleteRegKey HKCR "${extension}"
  DeleteRegKey HKCU "Software\Classes\.${extension}"
  DeleteRegKey HKCU "Software\Classes\${extension}"
!macroend

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Kartwerk.lnk"
  !insertmacro RemoveMapType "qdm"
  !insertmacro RemoveMapType "qdp"
  !insertmacro RemoveMapType "qdc"
  ${NOTIFY_ASSOCIATION_CHANGED}
  Delete "$INSTDIR\kartwerk.exe"
  Delete "$INSTDIR\cliffdata"
  Delete "$INSTDIR\uninstall.exe"
  ; Only an empty folder goes: files a user put there stay.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
