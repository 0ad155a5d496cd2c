; QX481Setup.exe: installs QX481Mon.exe for every user of the machine, replaces an earlier version
; over running monitors, and removes it again. Run again over its own version it changes nothing
; that is right already; over a newer version it changes nothing at all. /S runs either part
; without a window. The texts it shows are in QX481Lang.nsh, in each of its languages.
;
; cmake/xp.cmake builds it with makensis, defining
;   PRODUCT_EXE  the QX481Mon.exe to ship
;   OUTFILE      the setup program to write
;   TARGET       the stub: x86-unicode, or amd64-unicode for a 64-bit build
;   VERSION_H    res/version.h, whose version and company the setup carries too
; and, to sign the uninstaller and the setup program as they are written,
;   SIGN         the command that signs the file named after it in place (scripts/sign.sh)
; and, for the tests only,
;   SYSTEM_SID   the account taken for the system's (see RunsAsSystem)
;
; Exit codes of the setup program: 0 done (also where its own version was in place already),
; 1 cancelled by the user, 2 failed or refused (the package's copy or a newer version is
; installed), 5 no administrator rights, 3010 done but a restart of Windows finishes it (a file
; was still in use). The uninstaller's: 0, 1, 5 and 3010 alike; it has no failure of its own.
; Either ends with 2, having run none of this script, when NSIS's check finds its file damaged.

!ifndef PRODUCT_EXE | OUTFILE | TARGET | VERSION_H
    !error "define PRODUCT_EXE, OUTFILE, TARGET and VERSION_H"
!endif

Target ${TARGET}
SetCompressor /SOLID lzma
; The packed files carry no date, so that the same commit gives the same setup program.
SetDateSave off
!ifdef SIGN
    !uninstfinalize '${SIGN} "%1"' = 0
    !finalize '${SIGN} "%1"' = 0
!endif
RequestExecutionLevel admin

!searchparse /file "${VERSION_H}" `#define QX481_FILEVERSION_TEXT "` VERSION `"`
!searchparse /file "${VERSION_H}" `#define QX481_COMPANY "` COMPANY `"`
!searchparse /file "${VERSION_H}" `#define QX481_UPGRADE_CODE "` UPGRADE_CODE `"`
; The four fields of the shipped file's version, which decide over the installed one's.
!getdllversion "${PRODUCT_EXE}" SHIPPED_
!define SHIPPED_VERSION "${SHIPPED_1}.${SHIPPED_2}.${SHIPPED_3}.${SHIPPED_4}"
!define PROGRAM "$WINDIR\QX481Mon.exe"
!define UNINSTALLER "QX481Uninstall.exe"
; Left beside the uninstaller once it has removed everything else; see the uninstall section.
!define UNINSTALL_TOKEN "QX481Uninstall.done"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QX481Mon"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; Where a new QX481Mon.exe waits, beside the old one, when the old one cannot be replaced yet.
!define WAITING_PROGRAM "$WINDIR\QX481Mon.exe.new"
; Left by an uninstall that leaves QX481Mon.exe to be deleted at the next restart, and deleted
; then too: an install before that restart puts its file in place after that deletion.
!define DELETE_PENDING "$WINDIR\QX481Mon.exe.deleted"
; A monitor quits within a second of the broadcast; give it up to ten (50 tries 200 ms apart).
!define WAIT_TRIES 50
; The system account, LocalSystem, which computer start-up scripts, Group Policy and software
; distribution agents install as. Wine runs every program as one ordinary user, so the tests
; name that user's SID instead.
!ifndef SYSTEM_SID
    !define SYSTEM_SID "S-1-5-18"
!endif

Name "QX481 camera power monitor"
OutFile "${OUTFILE}"
; The program itself goes into the Windows directory, where its Run value looks for it. Only the
; uninstaller lives here, in a folder of its own that can be removed whole.
InstallDir "$PROGRAMFILES\QX481"
BrandingText "$(^Name) ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include MUI2.nsh
!include LogicLib.nsh

; The pages say what this program does to the machine. A restart is never started from here: a
; file in use ends in exit code 3010, which deployment tools act on, and a message to the user.
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!define MUI_FINISHPAGE_NOAUTOCLOSE
; Room for the welcome's and the finish's titles where a language needs three lines for them.
!define MUI_WELCOMEPAGE_TITLE_3LINES
!define MUI_FINISHPAGE_TITLE_3LINES
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
Var FinishText ; set in .onInit, and otherwise when a restart finishes the install
!define MUI_FINISHPAGE_TEXT "$FinishText"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(UninstallConfirmText)"
; The pages and messages speak the user's Windows display language where QX481Lang.nsh has it,
; else English. An install with a window leaves its language beside the entry as it leaves its
; progress page, and the uninstaller speaks that one (un.onInit), or after a silent install the
; user's; the value goes with the entry.
!define MUI_LANGDLL_REGISTRY_ROOT HKLM
!define MUI_LANGDLL_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MUI_LANGDLL_REGISTRY_VALUENAME "Installer Language"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!include QX481Lang.nsh

VIProductVersion ${SHIPPED_VERSION}
VIFileVersion ${SHIPPED_VERSION}
VIAddVersionKey CompanyName "${COMPANY}"
VIAddVersionKey FileDescription "QX481 camera power monitor setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductName "QX481Mon"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "Copyright (C) 2026 ${COMPANY}"
VIAddVersionKey OriginalFilename "QX481Setup.exe"

; It writes under HKLM and into the Windows directory: without administrator rights it changes
; nothing, says so when it has a window, and exits with 5.
!macro RequireAdministrator REFUSAL
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP "${REFUSAL}" /SD IDOK
        SetErrorLevel 5
        Quit
    ${EndIf}
!macroend

Function .onInit
    !insertmacro RequireAdministrator "$(InstallNeedsAdministrator)"
    ; A copy installed by QX481Mon.msi is Windows Installer's to replace and remove: it is left
    ; alone, and the setup program fails with 2.
    ; System loads a DLL by its name, and XP, where NSIS cannot keep the search to the system
    ; folder, looks beside the setup program first for msi.dll, which is not among its known
    ; DLLs: a downloads folder's. Loaded here from the system folder, with its own imports from
    ; there (LOAD_WITH_ALTERED_SEARCH_PATH), it is the msi.dll that System then finds loaded.
    System::Call 'kernel32::LoadLibraryExW(w "$SYSDIR\msi.dll", p 0, i 8)'
    System::Call 'msi::MsiEnumRelatedProductsW(w "${UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
    ${If} $0 = 0
        MessageBox MB_OK|MB_ICONSTOP "$(InstalledByPackage)" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    ; Nor is a newer version replaced, as the package refuses its downgrade: a stale start-up
    ; script or an old copy on a share would roll a machine back unnoticed. Going back is done
    ; on purpose, by uninstalling first.
    Call CompareInstalledVersion
    ${If} $R0 > 0
        StrCpy $3 $R1
        StrCpy $4 "${SHIPPED_VERSION}"
        MessageBox MB_OK|MB_ICONSTOP "$(NewerVersionInstalled)" /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
    ; What an earlier uninstall left to delete its uninstaller stays away from this install's.
    Delete "$INSTDIR\${UNINSTALL_TOKEN}"
    StrCpy $FinishText "$(FinishText)"
FunctionEnd

Function .onInstSuccess
    ${If} ${RebootFlag}
        SetErrorLevel 3010
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro RequireAdministrator "$(RemovalNeedsAdministrator)"
    ReadRegStr $0 ${MUI_LANGDLL_REGISTRY_ROOT} "${MUI_LANGDLL_REGISTRY_KEY}" \
        "${MUI_LANGDLL_REGISTRY_VALUENAME}"
    ${If} $0 != ""
        StrCpy $LANGUAGE $0
    ${EndIf}
FunctionEnd

; $R0: how the installed QX481Mon.exe's version compares with the shipped file's, all four fields:
; 1 newer, 0 the same, -1 older, or none to compare (no file, or one without a version block).
; $R1: the installed file's version, as major.minor.build.revision.
Function CompareInstalledVersion
    StrCpy $R0 -1
    StrCpy $R1 ""
    ClearErrors
    GetDLLVersion "${PROGRAM}" $R2 $R3
    ${If} ${Errors}
        Return
    ${EndIf}
    IntOp $R4 $R2 >>> 16
    IntOp $R5 $R2 & 0xFFFF
    IntOp $R6 $R3 >>> 16
    IntOp $R7 $R3 & 0xFFFF
    StrCpy $R1 "$R4.$R5.$R6.$R7"
    GetDLLVersionLocal "${PRODUCT_EXE}" $R4 $R5
    ${If} $R2 = $R4
    ${AndIf} $R3 = $R5
        StrCpy $R0 0
    ${ElseIf} $R2 U> $R4
        StrCpy $R0 1
    ${ElseIf} $R2 = $R4
    ${AndIf} $R3 U> $R5
        StrCpy $R0 1
    ${EndIf}
FunctionEnd

; $R0: 1 when this process runs as the system account, else 0.
Function RunsAsSystem
    StrCpy $R0 0
    System::Call 'advapi32::OpenProcessToken(p -1, i 8, *p .R1) i .R2' ; TOKEN_QUERY
    ${If} $R2 = 0
        Return
    ${EndIf}
    System::Alloc 1024
    Pop $R3
    ; TokenUser: a TOKEN_USER, whose first field points to the user's SID.
    System::Call 'advapi32::GetTokenInformation(p R1, i 1, p R3, i 1024, *i .R4) i .R2'
    ${If} $R2 <> 0
        System::Call '*$R3(p .R4)'
        System::Call 'advapi32::ConvertSidToStringSidW(p R4, *p .R5) i .R2'
        ${If} $R2 <> 0
            System::Call 'kernel32::lstrcpynW(w .R6, p R5, i ${NSIS_MAX_STRLEN})'
            System::Call 'kernel32::LocalFree(p R5)'
            ${If} $R6 == "${SYSTEM_SID}"
                StrCpy $R0 1
            ${EndIf}
        ${EndIf}
    ${EndIf}
    System::Free $R3
    System::Call 'kernel32::CloseHandle(p R1)'
FunctionEnd

; Runs the installed QX481Mon.exe /i, which starts the monitor in this session on a machine that
; qualifies and elsewhere takes the Run value away again, unless this runs as the system: there
; it would start a monitor as the system, in the session the first user at the console shares
; on XP, which that user's log-off never reaches, which a user's /u does not wait for, and which
; holds the file against every later upgrade and uninstall. The Run value that the install writes
; itself then starts each user's own monitor at their next log-on. Exec runs the program in the
; output directory: the Windows directory, never one that is removed.
!macro StartMonitor
    Call RunsAsSystem
    ${If} $R0 = 0
        SetOutPath $WINDIR
        Exec '"${PROGRAM}" /i'
    ${EndIf}
!macroend

; Adds the size of file $0 to $1, in bytes.
!macro AddFileSize
    FileOpen $2 $0 r
    FileSeek $2 0 END $3
    FileClose $2
    IntOp $1 $1 + $3
!macroend

; The uninstaller and its entry in Add or Remove Programs, then the Run value, as /i writes it. /i
; runs on after this program has ended, and not at all as the system, so the value is written
; here: it is there whatever follows this program at once, such as the restart a deployment tool
; makes for 3010, and starts the monitor at log-on.
Function WriteEntry
    ClearErrors
    CreateDirectory "$INSTDIR"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    StrCpy $0 "${PROGRAM}"
    StrCpy $1 0
    !insertmacro AddFileSize
    StrCpy $0 "$INSTDIR\${UNINSTALLER}"
    !insertmacro AddFileSize
    IntOp $1 $1 + 1023
    IntOp $1 $1 / 1024
    ; _?= runs the uninstaller where it is, so that whoever starts it waits for it and gets its
    ; exit code; without it the uninstaller would hand over to a copy of itself and return at once.
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayName "$(^Name)"
    WriteRegStr HKLM "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" Publisher "${COMPANY}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\${UNINSTALLER}" _?=$INSTDIR'
    WriteRegStr HKLM "${UNINSTALL_KEY}" QuietUninstallString \
        '"$INSTDIR\${UNINSTALLER}" /S _?=$INSTDIR'
    WriteRegStr HKLM "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" EstimatedSize $1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" NoRepair 1
    ${If} ${Errors}
        MessageBox MB_OK|MB_ICONSTOP "$(UninstallerNotRegistered)" /SD IDOK
        Abort "$(UninstallerNotRegistered)"
    ${EndIf}
    WriteRegStr HKLM "${RUN_KEY}" QX481Mon "${PROGRAM}"
FunctionEnd

Section
    ; Run again over its own version, as a start-up script or a distribution agent does, with
    ; nothing left from an earlier run for the next restart: the file is right, and so are the
    ; monitors running from it. Ending them would leave none in a user's session when this runs
    ; as the system; and where the system's quit does not reach a user's desktop, the file would
    ; be found in use and the run end with 3010, at every run. The entry and the Run value are
    ; put in place, in case something took them away. No monitor is started: the one in this
    ; session runs on, and one started beside it would be a second; where none runs, the Run
    ; value starts one at the next log-on.
    Call CompareInstalledVersion
    ${If} $R0 = 0
    ${AndIfNot} ${FileExists} "${DELETE_PENDING}"
    ${AndIfNot} ${FileExists} "${WAITING_PROGRAM}"
        DetailPrint "$(AlreadyInPlace)"
        Call WriteEntry
        Return
    ${EndIf}

    ; The quit is a broadcast that every monitor obeys, whichever copy it runs from, so the new
    ; copy ends them: it works also where an earlier copy is damaged or gone.
    InitPluginsDir
    File "/oname=$PLUGINSDIR\QX481Mon.exe" "${PRODUCT_EXE}"
    DetailPrint "$(EndingMonitors)"
    ExecWait '"$PLUGINSDIR\QX481Mon.exe" /u'

    ; A monitor holds its file until it has quit. $2 says whether the file is in place (testing
    ; the error flag clears it, so it cannot say so after the loop).
    DetailPrint "$(CopyingProgram)"
    SetDetailsPrint none
    SetOverwrite try
    StrCpy $1 0
    StrCpy $2 0
    ${Do}
        ClearErrors
        File "/oname=${PROGRAM}" "${PRODUCT_EXE}"
        ${IfNot} ${Errors}
            StrCpy $2 1
        ${EndIf}
        ${If} $2 = 1
        ${OrIf} $1 >= ${WAIT_TRIES}
            ${Break}
        ${EndIf}
        Sleep 200
        IntOp $1 $1 + 1
    ${Loop}
    SetOverwrite on
    SetDetailsPrint both
    ${If} $2 = 1
    ${AndIfNot} ${FileExists} "${DELETE_PENDING}"
        ; An earlier install that waited for a restart must not put its file over this one then.
        Delete "${WAITING_PROGRAM}"
    ${Else}
        ; Still in use: by a monitor in another user's session, which the quit does not reach, or
        ; by any other program; or an uninstall left it to be deleted at the next restart. The
        ; new file waits beside it and takes its place when Windows restarts, after that
        ; deletion; until then the copy in place runs on, registered and started below as the
        ; new one would be.
        ClearErrors
        File "/oname=${WAITING_PROGRAM}" "${PRODUCT_EXE}"
        Rename /REBOOTOK "${WAITING_PROGRAM}" "${PROGRAM}"
        ${If} ${Errors}
            Delete "${WAITING_PROGRAM}"
            !insertmacro StartMonitor
            MessageBox MB_OK|MB_ICONSTOP "$(ProgramNotReplaced)" /SD IDOK
            Abort "$(ProgramNotReplaced)"
        ${EndIf}
        ${If} $2 = 1
            StrCpy $3 "$(RemovalWaits)"
        ${Else}
            StrCpy $3 "$(ProgramInUse)"
        ${EndIf}
        StrCpy $FinishText "$(FinishRestartText)"
        DetailPrint "$(ReplacedAtRestart)"
        MessageBox MB_OK|MB_ICONINFORMATION "$(RestartToFinishInstall)" /SD IDOK
    ${EndIf}

    Call WriteEntry
    !insertmacro StartMonitor
SectionEnd

Section Uninstall
    ; /u removes the Run value and makes every monitor quit.
    ${If} ${FileExists} "${PROGRAM}"
        DetailPrint "$(EndingMonitors)"
        ExecWait '"${PROGRAM}" /u'
    ${EndIf}
    DeleteRegValue HKLM "${RUN_KEY}" QX481Mon

    ; A monitor holds its file until it has quit.
    StrCpy $1 0
    ${Do}
        Delete "${PROGRAM}"
        ${IfNot} ${FileExists} "${PROGRAM}"
        ${OrIf} $1 >= ${WAIT_TRIES}
            ${Break}
        ${EndIf}
        Sleep 200
        IntOp $1 $1 + 1
    ${Loop}
    ${If} ${FileExists} "${PROGRAM}"
        Delete /REBOOTOK "${PROGRAM}"
        FileOpen $0 "${DELETE_PENDING}" w
        Delete /REBOOTOK "${DELETE_PENDING}" ; open, so that it goes only at the restart
        FileClose $0
        DetailPrint "$(DeletedAtRestart)"
        MessageBox MB_OK|MB_ICONINFORMATION "$(RestartToFinishRemoval)" /SD IDOK
    ${EndIf}
    ; A new version that was waiting for a restart goes too.
    Delete "${WAITING_PROGRAM}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"

    ; A program cannot delete its own file while it runs: a hidden command script deletes this
    ; uninstaller, and its folder then, once it has ended (after its Close button, when it has a
    ; window), trying once a second for up to ten minutes, and then itself. It does so only while
    ; the token file left beside the uninstaller is there, checked just before each step, and an
    ; install takes the token away before anything else (.onInit): so it never deletes a later
    ; install's uninstaller, however soon that install runs. When this runs from a copy of
    ; itself, the file here goes at once.
    SetOutPath $SYSDIR ; the working directory, which must not be the folder to remove
    Delete "$INSTDIR\${UNINSTALLER}"
    ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
        FileOpen $0 "$INSTDIR\${UNINSTALL_TOKEN}" w
        FileClose $0
        GetTempFileName $0
        Delete $0
        StrCpy $0 "$0.cmd"
        FileOpen $1 $0 w
        FileWrite $1 '@echo off$\r$\nset tries=0$\r$\n:again$\r$\n'
        FileWrite $1 'if not exist "$INSTDIR\${UNINSTALL_TOKEN}" goto end$\r$\n'
        FileWrite $1 'ping -n 2 127.0.0.1 >nul$\r$\n'
        FileWrite $1 'if not exist "$INSTDIR\${UNINSTALL_TOKEN}" goto end$\r$\n'
        FileWrite $1 'del /f /q "$INSTDIR\${UNINSTALLER}" 2>nul$\r$\n'
        FileWrite $1 'if not exist "$INSTDIR\${UNINSTALLER}" goto deleted$\r$\n'
        FileWrite $1 'set /a tries=tries+1$\r$\nif %tries% lss 600 goto again$\r$\ngoto end$\r$\n'
        FileWrite $1 ':deleted$\r$\ndel /f /q "$INSTDIR\${UNINSTALL_TOKEN}"$\r$\n'
        FileWrite $1 'rd "$INSTDIR"$\r$\n:end$\r$\ndel /f /q "%~f0"$\r$\n'
        FileClose $1
        ExecShell "" "$SYSDIR\cmd.exe" '/c "$0"' SW_HIDE
    ${EndIf}
    RMDir "$INSTDIR"
SectionEnd

Function un.onUninstSuccess
    ${If} ${RebootFlag}
        SetErrorLevel 3010
    ${EndIf}
FunctionEnd
