; The installer of a sample add-on that registers itself with Kelvane through Brelmont.
;
;   makensis -DBRELMONT_EXE=/path/to/Brelmont.exe -DOUTFILE=/path/to/SampleSetup.exe Sample.nsi
;
; Both defines are needed, so that a build never writes into the source folder. Debian's NSIS
; 3.08 has the 64-bit Unicode stubs and plug-ins, so the installer is a 64-bit program like
; Brelmont.exe itself, and $PROGRAMFILES64 is the real Program Files folder.
;
; Silent (Setup.exe /S): nothing waits on a person; Brelmont runs unattended and answers its
; integrate question Yes. Attended: the install folder page, then Brelmont's own "Integrate with
; Kelvane" box. Either way a failed registration leaves Brelmont's exit status as the
; installer's.
;
; The Kelvane installation: where a machine has several, the add-on must be removed from the one
; it was registered with. After a registration the folder Brelmont used (the "Found Kelvane
; program directory at" line of that run in its session log) is remembered as KelvaneDir under
; HKLM\Software\Sample Vendor\Sample Addon, and handed to the uninstaller's and the next
; install's Brelmont as BRELMONT_KELVANE_DIR, unless the caller set that variable itself.
;
; The uninstaller removes the add-on even when Brelmont cannot take its block away (Kelvane is
; gone, say): its status is 0, the failure is in the details, and the session log stays in
; logs\ of the install folder to tell why. So does the MSI of examples/msi.

Unicode true
Target amd64-unicode

!ifndef BRELMONT_EXE | OUTFILE
  !error "Pass -DBRELMONT_EXE=<Brelmont.exe to pack> and -DOUTFILE=<installer to write>"
!endif

!include LogicLib.nsh
!include StrFunc.nsh
${StrStr}
${StrTrimNewLines}

!define ADDON "Sample Addon"
!define LOADER "Sample.local"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${ADDON}"
!define VENDOR_KEY "Software\Sample Vendor"
!define ADDON_KEY "${VENDOR_KEY}\${ADDON}"
!define FOUND_LINE "Found Kelvane program directory at "
; Brelmont's command line is split at commas, so a loader file in such a folder cannot be named.
!define COMMA_REFUSAL "The install folder has a comma in its name:$\r$\n$INSTDIR$\r$\n$\r$\nBrelmont, which registers ${ADDON} with Kelvane, takes its loader file's path after a comma and cannot be given one that holds a comma. Choose a folder without a comma."
; ERROR_INVALID_NAME: apart from Brelmont's statuses (0 to 6), which the installer hands on.
!define COMMA_STATUS 123

Name "${ADDON}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${ADDON}"
; Kelvane's data directory may lie where only administrators write.
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
; The folder, then the progress page, closed by itself when done.
Page directory "" "" RefuseCommaOnPage
Page instfiles
UninstPage instfiles
AutoCloseWindow true
ShowInstDetails show
ShowUninstDetails show

; Runs Brelmont with the action ("install" or "uinstall") on the loader file and leaves its exit
; status on the stack; "not started" when it could not be started at all.
!macro RunBrelmont ACTION
  ; The child takes this process's environment: unattended exactly when the installer is silent.
  ${If} ${Silent}
    System::Call 'Kernel32::SetEnvironmentVariable(t "BRELMONT_UNATTENDED", t "1")i'
  ${EndIf}
  ; The remembered installation, unless the caller chose one.
  ReadEnvStr $0 BRELMONT_KELVANE_DIR
  ${If} $0 == ""
    ReadRegStr $0 HKLM "${ADDON_KEY}" "KelvaneDir"
    ${If} $0 != ""
      System::Call 'Kernel32::SetEnvironmentVariable(t "BRELMONT_KELVANE_DIR", t r0)i'
    ${EndIf}
  ${EndIf}
  ClearErrors
  ExecWait '"$INSTDIR\Brelmont.exe" "${ACTION},$INSTDIR\${LOADER}"' $0
  ${If} ${Errors}
    StrCpy $0 "not started"
  ${EndIf}
  Push $0
!macroend

; Reports a failed run in the details and in a box unless silent.
!macro ReportFailure STATUS WHAT
  DetailPrint "Brelmont could not ${WHAT} (exit status ${STATUS}); see $INSTDIR\logs\Brelmont.log"
  ${IfNot} ${Silent}
    MessageBox MB_OK|MB_ICONEXCLAMATION "Brelmont could not ${WHAT}: exit status ${STATUS}.$\r$\n$\r$\nIts session log is $INSTDIR\logs\Brelmont.log."
  ${EndIf}
!macroend

; /D= sets the folder before this runs, and a silent install shows no page to refuse it on:
; the reason goes to standard error, where the caller has one, and the status says it.
Function .onInit
  ${StrStr} $0 "$INSTDIR" ","
  ${If} $0 != ""
  ${AndIf} ${Silent}
    System::Call 'Kernel32::GetStdHandle(i -12)p.r1'
    ${If} $1 != 0
    ${AndIf} $1 != -1
      StrCpy $2 "${COMMA_REFUSAL}$\r$\n"
      System::Call 'Kernel32::lstrlenA(m r2)i.r3'
      System::Call 'Kernel32::WriteFile(p r1, m r2, i r3, *i .r4, p 0)i'
    ${EndIf}
    SetErrorLevel ${COMMA_STATUS}
    Quit
  ${EndIf}
FunctionEnd

Function RefuseCommaOnPage
  ${StrStr} $0 "$INSTDIR" ","
  ${If} $0 != ""
    MessageBox MB_OK|MB_ICONEXCLAMATION "${COMMA_REFUSAL}"
    Abort
  ${EndIf}
FunctionEnd

; Remembers the Kelvane folder of the last run in the session log: the folder after the last
; "Found" line behind the last banner (a run begins with a line of dashes). An attended "No"
; registers nothing and finds no folder, and the value goes. Without a log nothing changes.
Function RememberKelvaneDir
  ClearErrors
  FileOpen $R0 "$INSTDIR\logs\Brelmont.log" r
  ${If} ${Errors}
    Return
  ${EndIf}
  StrCpy $R1 ""
  ${Do}
    ClearErrors
    FileRead $R0 $R2
    ${If} ${Errors}
      ${Break}
    ${EndIf}
    StrCpy $R3 $R2 5
    ${StrStr} $R4 $R2 "${FOUND_LINE}"
    ${If} $R3 == "-----"
      StrCpy $R1 ""
    ${ElseIf} $R4 != ""
      StrLen $R5 "${FOUND_LINE}"
      StrCpy $R1 $R4 "" $R5
      ${StrTrimNewLines} $R1 $R1
    ${EndIf}
  ${Loop}
  FileClose $R0
  ; FileRead reads in the ANSI code page; Brelmont writes paths in UTF-8.
  System::Call 'Kernel32::MultiByteToWideChar(i 65001, i 0, m R1, i -1, w .R1, i ${NSIS_MAX_STRLEN})i'
  ${If} $R1 == ""
    DeleteRegValue HKLM "${ADDON_KEY}" "KelvaneDir"
  ${Else}
    WriteRegStr HKLM "${ADDON_KEY}" "KelvaneDir" $R1
  ${EndIf}
FunctionEnd

Section "Sample Addon"
  SetOutPath "$INSTDIR"
  File "/oname=Brelmont.exe" "${BRELMONT_EXE}"
  File "${LOADER}"
  ; Brelmont writes its session log here, and nowhere when the folder is missing.
  CreateDirectory "$INSTDIR\logs"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${ADDON}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'

  !insertmacro RunBrelmont install
  Pop $1
  ; The add-on's files stay: a vendor may retry with the log at hand, or run it stand-alone.
  ${If} $1 != 0
    !insertmacro ReportFailure $1 "register the add-on with Kelvane"
    ${If} $1 == "not started"
      SetErrorLevel 255
    ${Else}
      SetErrorLevel $1
    ${EndIf}
  ${Else}
    Call RememberKelvaneDir
  ${EndIf}
SectionEnd

Section "Uninstall"
  ; AutoCloseWindow covers the installer only.
  SetAutoClose true
  ; Brelmont and the loader file are needed to take the block away, so this comes first.
  !insertmacro RunBrelmont uinstall
  Pop $1
  ; The files go all the same and the uninstall succeeds: a failure here must not keep the
  ; add-on installed for good. The log stays when it tells why the block could not be removed
  ; (an attended Brelmont has said so in its own box already).
  ${If} $1 != 0
    DetailPrint "Brelmont could not remove the add-on from Kelvane (exit status $1); its session log is kept: $INSTDIR\logs\Brelmont.log"
  ${Else}
    Delete "$INSTDIR\logs\Brelmont.log"
  ${EndIf}
  Delete "$INSTDIR\Brelmont.exe"
  Delete "$INSTDIR\${LOADER}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR\logs"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${ADDON_KEY}"
  DeleteRegKey /ifempty HKLM "${VENDOR_KEY}"
SectionEnd
