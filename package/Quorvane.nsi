; Quorvane's installer. Installs for the current user under the local
; application folder without administrator rights, or with /ALLUSERS under
; Program Files; adds a Start-menu shortcut and an entry in Programs and
; Features whose uninstaller removes exactly what was installed. /S runs it
; without pages. CMake (package/CMakeLists.txt) passes:
;   TARGET        x86-unicode for the 32-bit product, amd64-unicode for the twin
;   VERSION       0.7.0;  FILE_VERSION  0, 7, 0, 0
;   EXE, ICON     the built Quorvane.exe and its icon
;   TEXTS         the folder holding README.txt, CHANGES.txt and the licences
;   OUTFILE       the setup program to write

Target ${TARGET}
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT "Quorvane"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvane"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
SetCompressor /SOLID lzma
ShowInstDetails nevershow
ShowUninstDetails nevershow

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quorvane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Quorvane を起動する"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; Neutral on purpose: no company name or copyright.
!pragma warning disable 9100
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${FILE_VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "${PRODUCT} セットアップ"

; Program Files of the installer's own kind: the 32-bit product goes to the
; 32-bit folder of a 64-bit Windows.
!macro ProgramFilesFolder out
  !if "${TARGET}" == "amd64-unicode"
    StrCpy ${out} "$PROGRAMFILES64\${PRODUCT}"
  !else
    StrCpy ${out} "$PROGRAMFILES\${PRODUCT}"
  !endif
!macroend

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    UserInfo::GetAccountType
    Pop $R2
    ${If} $R2 != "Admin"
      MessageBox MB_ICONSTOP|MB_OK "すべてのユーザー用にインストールするには管理者の権限が必要です。$\r$\n管理者としてセットアップを実行してください。" /SD IDOK
      SetErrorLevel 740
      Quit
    ${EndIf}
    ; /D= chooses the folder itself; otherwise Program Files. (Compared
    ; before the context changes: $LOCALAPPDATA follows it.)
    ${If} $INSTDIR == "$LOCALAPPDATA\Programs\${PRODUCT}"
      !insertmacro ProgramFilesFolder $INSTDIR
    ${EndIf}
    SetShellVarContext all
  ${EndIf}
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  File "/oname=Quorvane.exe" "${EXE}"
  File "/oname=README.txt" "${TEXTS}\README.txt"
  File "/oname=CHANGES.txt" "${TEXTS}\CHANGES.txt"
  File "/oname=Scintilla-License.txt" "${TEXTS}\Scintilla-License.txt"
  File "/oname=PCRE2-License.txt" "${TEXTS}\PCRE2-License.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\Quorvane.exe" "" "$INSTDIR\Quorvane.exe" 0

  ; SHCTX is HKCU for a per-user install and HKLM for /ALLUSERS.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvane.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" "$R0"
SectionEnd

; The uninstaller serves the copy it sits in: the all-users one when the
; machine-wide entry names its folder.
Function un.onInit
  ReadRegStr $R0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R0 == $INSTDIR
    SetShellVarContext all
  ${EndIf}
FunctionEnd

; Only what the installer put there goes: files a user saved in the folder
; stay, and so does the folder holding them.
Section "Uninstall"
  Delete "$INSTDIR\Quorvane.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\CHANGES.txt"
  Delete "$INSTDIR\Scintilla-License.txt"
  Delete "$INSTDIR\PCRE2-License.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
