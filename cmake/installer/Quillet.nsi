; Quillet's setup program: a per-user installer (no administrator rights, HKCU only) for the files
; that the build staged; the build passes QUILLET_VERSION, QUILLET_VERSION_QUAD, QUILLET_STAGE,
; QUILLET_ICON and QUILLET_OUTFILE with /D.

Unicode true
; The 64-bit test build is packaged as a 64-bit setup program: where only wine64 runs, a 32-bit one
; could not start.
!ifdef QUILLET_TARGET
Target ${QUILLET_TARGET}
!endif
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh

!define PRODUCT "Quillet"
!define PUBLISHER "Tellan Media"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define UNINSTALLER "Uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"
; The player keeps its window placement under HKCU\Software\Tellan Media Player. That is the
; user's data, not part of the installation: nothing here writes or removes it.

Name "${PRODUCT} ${QUILLET_VERSION}"
OutFile "${QUILLET_OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An update installs over the earlier installation, wherever the user put it.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${QUILLET_VERSION}"

!define MUI_ICON "${QUILLET_ICON}"
!define MUI_UNICON "${QUILLET_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PRODUCT}.exe"

!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${QUILLET_VERSION_QUAD}"
VIFileVersion "${QUILLET_VERSION_QUAD}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${QUILLET_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${QUILLET_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (C) 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "OriginalFilename" "${PRODUCT}-${QUILLET_VERSION}-setup.exe"

; The updater starts this installer and the player ends right after it, so the player may still
; hold its files for a moment. Wait up to ten seconds for Quillet.exe to become writable; after
; that a running player is the user's to close (a silent run gives up instead of overwriting
; half of the files).
!macro WAIT_FOR_PLAYER prefix
Function ${prefix}WaitForPlayer
  Push $0
  Push $1
  StrCpy $1 0
  ${DoWhile} ${FileExists} "$INSTDIR\${PRODUCT}.exe"
    ClearErrors
    FileOpen $0 "$INSTDIR\${PRODUCT}.exe" a
    ${IfNot} ${Errors}
      FileClose $0
      ${Break}
    ${EndIf}
    IntOp $1 $1 + 1
    ${If} $1 >= 20
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Close it, then click Retry." /SD IDCANCEL IDRETRY retry
      Abort "${PRODUCT} is running."
    retry:
      StrCpy $1 0
    ${Else}
      Sleep 500
    ${EndIf}
  ${Loop}
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro WAIT_FOR_PLAYER ""
!insertmacro WAIT_FOR_PLAYER "un."

Section "${PRODUCT}" SecMain
  SectionIn RO
  Call WaitForPlayer
  !include "${QUILLET_STAGE}/install-files.nsh"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${PRODUCT}.exe" "" "$INSTDIR\${PRODUCT}.exe" 0

  SectionGetSize ${SecMain} $0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${QUILLET_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PRODUCT}.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes exactly the files this version installed and then the folders they leave empty, so
; anything the user put into the folder survives (and keeps the folder).
Section "Uninstall"
  Call un.WaitForPlayer
  !include "${QUILLET_STAGE}/uninstall-files.nsh"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
