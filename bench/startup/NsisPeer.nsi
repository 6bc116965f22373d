; The start-up benchmark's peer: an NSIS 3 installer with the modern pages
; (welcome, directory, install, finish) and the same payload as setup.exe's
; distribution in the bench, built by scripts/bench-startup with
;   makensis -DPAYLOAD=DIR -DOUTFILE=FILE NsisPeer.nsi
; Its window has setup's title, "Lanternfell Setup"; closing it on the
; welcome page ends it without a question (no abort warning), as setup's
; Start page does.
Unicode true
ManifestDPIAware true
RequestExecutionLevel user
SetCompressor /SOLID lzma
Name "Lanternfell"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Lanternfell"

!include "MUI2.nsh"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_LANGUAGE "English"

Section "Program files"
  SetOutPath "$INSTDIR"
  File /r "${PAYLOAD}\*.*"
SectionEnd
