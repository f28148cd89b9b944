; Windows installer of Tirn GPX Library: a per-user install that needs no administrator rights.
; scripts/package.sh builds it:
;   makensis -DVERSION=1.0.0 -DSTAGE=folder -DICON=file.ico -DOUTFILE=setup.exe installer.nsi
; STAGE holds the files to install: tirn-gpx-library.exe, tirn-gpx.exe, README.txt, LICENSE.txt.

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined (-D...)"
!endif

; The program is 64-bit only, and so is the Wine the tests run the installer under.
Target amd64-unicode

!include MUI2.nsh
!include FileFunc.nsh

!define PRODUCT "Tirn GPX Library"
!define PUBLISHER "Tirn GPX Library developers"
!define PROGRAM_EXE "tirn-gpx-library.exe"
!define WINDOW_CLASS "TirnGpxLibraryWindow"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\TirnGpxLibrary"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
; An earlier install is upgraded where it is; otherwise the per-user programs folder.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM_EXE}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) ${PUBLISHER}, MIT licence"

; A running program keeps its files in use, and replacing them under it would leave a mixed
; install. Ask until it is closed; silently (/S, no one to ask) stop with exit code 2 before
; anything has changed.
; A program that is just closing gets five seconds to end before anyone is asked.
!macro REFUSE_WHILE_RUNNING
  StrCpy $1 0
  check_running:
    FindWindow $0 "${WINDOW_CLASS}"
    StrCmp $0 0 not_running
    IntCmp $1 10 ask_running 0 ask_running
    IntOp $1 $1 + 1
    Sleep 500
    Goto check_running
  ask_running:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is running.$\r$\n$\r$\nClose it, then choose Retry." /SD IDCANCEL IDRETRY check_running
    SetErrorLevel 2
    Abort
  not_running:
!macroend

; The same for a program without a window (the console tool, or the program still starting up):
; Windows keeps a running program's file from being opened for writing.
!macro REFUSE_WHILE_IN_USE FILE
  !define ID ${__LINE__}
  StrCpy $1 0
  check_in_use_${ID}:
    IfFileExists "${FILE}" 0 not_in_use_${ID}
    ClearErrors
    FileOpen $0 "${FILE}" a
    IfErrors 0 opened_${ID}
    IntCmp $1 10 ask_in_use_${ID} 0 ask_in_use_${ID}
    IntOp $1 $1 + 1
    Sleep 500
    Goto check_in_use_${ID}
  ask_in_use_${ID}:
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
        "${PRODUCT} is running.$\r$\n$\r$\nClose it, then choose Retry." /SD IDCANCEL IDRETRY check_in_use_${ID}
    SetErrorLevel 2
    Abort
  opened_${ID}:
    FileClose $0
  not_in_use_${ID}:
  !undef ID
!macroend

Function .onInit
  !insertmacro REFUSE_WHILE_RUNNING
FunctionEnd

; The uninstaller normally copies itself to %TEMP% and the copy runs this, after the launcher has
; already returned 0; started as "uninstall.exe /S _?=<install folder>" it runs in place, and the
; caller sees the 2 of a refusal.
Function un.onInit
  !insertmacro REFUSE_WHILE_RUNNING
  !insertmacro REFUSE_WHILE_IN_USE "$INSTDIR\${PROGRAM_EXE}"
  !insertmacro REFUSE_WHILE_IN_USE "$INSTDIR\tirn-gpx.exe"
FunctionEnd

Section "Install"
  SetShellVarContext current
  ; Only now is the folder known (the user may have chosen another); nothing is written yet.
  !insertmacro REFUSE_WHILE_IN_USE "$INSTDIR\${PROGRAM_EXE}"
  !insertmacro REFUSE_WHILE_IN_USE "$INSTDIR\tirn-gpx.exe"
  SetOutPath "$INSTDIR"
  ClearErrors
  File "${STAGE}\${PROGRAM_EXE}"
  File "${STAGE}\tirn-gpx.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  ; A file that could not be replaced (silently the default is to skip it) is a failed install,
  ; not a successful one.
  IfErrors 0 files_written
    SetErrorLevel 3
    Abort "Could not write the program files into $INSTDIR."
  files_written:
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM_EXE}" "" "$INSTDIR\${PROGRAM_EXE}" 0

  ; The entry of Windows' list of installed apps, which also removes the program.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM_EXE},0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

; Removes exactly what the installer wrote. The library and the settings live elsewhere (Documents
; and the roaming application data) and are never touched; the folder itself goes only when
; empty, so files a user put there stay.
Section "Uninstall"
  SetShellVarContext current
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\${PROGRAM_EXE}"
  Delete "$INSTDIR\tirn-gpx.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
