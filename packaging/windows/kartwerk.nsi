; The Windows installer of Kartwerk, built by `make windows-installer` (packaging/windows/installer.cmake
; passes VERSION, PROGRAM, CLIFFDATA, ICON and OUTFILE). It installs kartwerk.exe and cliffdata under
; Program Files\Kartwerk, Start menu entries (the windows, and the list of backups), the map types'
; association, the App Paths key and an entry under "Add or remove programs"; its uninstaller takes
; all of them away again and gives each map type back to the program that opened it before.
; Silent use: kartwerk-setup-VERSION.exe /S [/D=C:\Other Folder], uninstall.exe /S.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "nsDialogs.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kartwerk"
; "kartwerk" typed into Run, and ShellExecute of kartwerk.exe, find the installed program.
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\kartwerk.exe"
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
Page custom MapTypesPage
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; A map type held by another program: the class the extension names, when it is not Kartwerk's
; own (the extension without its dot) and the class exists. $0 is the extension; $1 comes back
; as that class, or empty.
Function HeldBy
  ReadRegStr $1 HKCR ".$0" ""
  ${If} $1 == $0
    StrCpy $1 ""
  ${EndIf}
  ${If} $1 != ""
    ClearErrors
    EnumRegKey $2 HKCR "$1" 0
    ${If} ${Errors}
      StrCpy $1 ""
    ${EndIf}
  ${EndIf}
FunctionEnd

; Says which map types another program opens now, before Kartwerk takes them; no page when
; none is held. The uninstaller gives them back.
Var HeldTypes
!macro ListHeldType extension what
  StrCpy $0 "${extension}"
  Call HeldBy
  ${If} $1 != ""
    ; The class's own description names the program's files best; its name when it has none.
    ReadRegStr $2 HKCR "$1" ""
    ${If} $2 == ""
      StrCpy $2 $1
    ${EndIf}
    StrCpy $HeldTypes "$HeldTypes$\r$\n    .${extension} (${what}): $2"
  ${EndIf}
!macroend
Function MapTypesPage
  StrCpy $HeldTypes ""
  !insertmacro ListHeldType "qdm" "singleplayer maps"
  !insertmacro ListHeldType "qdp" "multiplayer maps"
  !insertmacro ListHeldType "qdc" "campaign maps"
  ${If} $HeldTypes == ""
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Map files" "Another program opens some map files now."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 100% "These map types are opened by another program now:$\r$\n$HeldTypes$\r$\n$\r$\nAfter the installation, opening such a map starts Kartwerk instead. Kartwerk remembers the program that opened them, and uninstalling Kartwerk gives them back to it."
  Pop $0
  nsDialogs::Show
FunctionEnd

; Remembers, once, the class that opened a map type before Kartwerk took it, for the uninstaller.
!macro RememberPreviousHandler extension
  StrCpy $0 "${extension}"
  Call HeldBy
  ${If} $1 != ""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PreviousHandler.${extension}" "$1"
  ${EndIf}
!macroend

Section "Kartwerk"
  SetShellVarContext all
  ; Before anything is written: what opened the map types until now.
  !insertmacro RememberPreviousHandler "qdm"
  !insertmacro RememberPreviousHandler "qdp"
  !insertmacro RememberPreviousHandler "qdc"
  SetOutPath "$INSTDIR"
  File "/oname=kartwerk.exe" "${PROGRAM}"
  File "/oname=cliffdata" "${CLIFFDATA}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The entry shows the program's first icon, the program icon among its resources.
  CreateShortCut "$SMPROGRAMS\Kartwerk.lnk" "$INSTDIR\kartwerk.exe" "" "$INSTDIR\kartwerk.exe" 0
  ; The list of what conversions replaced, shown in a window (no console opens for it).
  CreateShortCut "$SMPROGRAMS\Kartwerk backups.lnk" "$INSTDIR\kartwerk.exe" "backups" "$INSTDIR\kartwerk.exe" 0
  WriteRegStr HKLM "${APP_PATHS_KEY}" "" "$INSTDIR\kartwerk.exe"
  WriteRegStr HKLM "${APP_PATHS_KEY}" "Path" "$INSTDIR"

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
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "the Kartwerk developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\kartwerk.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The association of one map type in one class root (the machine's classes, or the user's when
; the program ran unelevated), when it is still this installation's: the type's own class is
; removed, and the extension goes back to the class that opened it before Kartwerk (when that class
; is still there) or goes away. A type that another program, or another copy of Kartwerk, has
; taken since is left as it is.
!macro RestoreMapType root prefix extension
  ReadRegStr $0 ${root} "${prefix}${extension}\Shell\open\command" ""
  ${If} $0 == '"$INSTDIR\kartwerk.exe" "%1"'
    ReadRegStr $1 ${root} "${prefix}.${extension}" ""
    ${If} $1 == "${extension}"
      ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "PreviousHandler.${extension}"
      ${If} $2 != ""
        ClearErrors
        EnumRegKey $3 HKCR "$2" 0
        ${If} ${Errors}
          StrCpy $2 ""
        ${EndIf}
      ${EndIf}
      ${If} $2 != ""
        WriteRegStr ${root} "${prefix}.${extension}" "" "$2"
      ${Else}
        DeleteRegKey ${root} "${prefix}.${extension}"
      ${EndIf}
    ${EndIf}
    DeleteRegKey ${root} "${prefix}${extension}"
  ${EndIf}
!macroend

!macro RemoveMapType extension
  !insertmacro RestoreMapType HKCR "" "${extension}"
  !insertmacro RestoreMapType HKCU "Software\Classes\" "${extension}"
!macroend

Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\Kartwerk.lnk"
  Delete "$SMPROGRAMS\Kartwerk backups.lnk"
  DeleteRegKey HKLM "${APP_PATHS_KEY}"
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
