; scene3d.nsi - the installer of 3D scene; scripts/package.sh makes it:
;   makensis -DVERSION=1.0.0 -DARCH=win32|win64 -DSTAGE=FOLDER -DICON=FILE -DOUTFILE=FILE scene3d.nsi
; FOLDER holds what the zip holds (scene3d.exe, scenerender.exe, sceneconvert.exe,
; README.txt, LICENSE.txt, THIRD-PARTY-NOTICES.txt, examples\*.item) and
; examples.nsh, which deletes each example.
;
; The installer puts the files into Program Files, adds a Start-menu entry,
; opens .item files in the editor (the editor takes the quoted path as its
; whole command line) and enters itself in the list of installed programs.
; The uninstaller removes each file and each registry entry it added; a .item
; association that another program has taken over since is left to it.
; /S runs either without a window; /D=FOLDER chooses the folder.

Unicode true
!if "${ARCH}" == "win64"
  Target amd64-unicode
  !define PROGRAMS "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAMS "$PROGRAMFILES"
!endif

!define PRODUCT "3D scene"
!define PROGID "scene3d.item"
!define CLASSES "Software\Classes"
!define UNINSTALLKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\scene3d"
!define SHCNE_ASSOCCHANGED 0x08000000

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAMS}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALLKEY}" "InstallLocation"
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "CompanyName" "The 3D scene authors"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 The 3D scene authors. MIT licence."

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!macro ForAllUsers
  SetShellVarContext all
  !if "${ARCH}" == "win64"
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro ForAllUsers
FunctionEnd

Function un.onInit
  !insertmacro ForAllUsers
FunctionEnd

Section "3D scene"
  SetOutPath "$INSTDIR"
  File "${STAGE}\scene3d.exe"
  File "${STAGE}\scenerender.exe"
  File "${STAGE}\sceneconvert.exe"
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\THIRD-PARTY-NOTICES.txt"
  SetOutPath "$INSTDIR\examples"
  File "${STAGE}\examples\*.item"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\scene3d.exe"

  WriteRegStr HKLM "${CLASSES}\.item" "" "${PROGID}"
  WriteRegStr HKLM "${CLASSES}\.item\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKLM "${CLASSES}\${PROGID}" "" "3D scene file"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\scene3d.exe,0"
  WriteRegStr HKLM "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\scene3d.exe" "%1"'

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr HKLM "${UNINSTALLKEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALLKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALLKEY}" "Publisher" "The 3D scene authors"
  WriteRegStr HKLM "${UNINSTALLKEY}" "DisplayIcon" "$INSTDIR\scene3d.exe,0"
  WriteRegStr HKLM "${UNINSTALLKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALLKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALLKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALLKEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALLKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALLKEY}" "NoRepair" 1

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  Delete "$INSTDIR\scene3d.exe"
  Delete "$INSTDIR\scenerender.exe"
  Delete "$INSTDIR\sceneconvert.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\THIRD-PARTY-NOTICES.txt"
  ; Only the examples installed: scenes the user saved there stay.
  !include "${STAGE}\examples.nsh"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\examples"
  RMDir "$INSTDIR"

  ReadRegStr $0 HKLM "${CLASSES}\.item" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKLM "${CLASSES}\.item" ""
  ${EndIf}
  DeleteRegValue HKLM "${CLASSES}\.item\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKLM "${CLASSES}\.item\OpenWithProgids"
  DeleteRegKey /ifempty HKLM "${CLASSES}\.item"
  DeleteRegKey HKLM "${CLASSES}\${PROGID}"
  DeleteRegKey HKLM "${UNINSTALLKEY}"

  System::Call 'shell32::SHChangeNotify(i ${SHCNE_ASSOCCHANGED}, i 0, p 0, p 0)'
SectionEnd
