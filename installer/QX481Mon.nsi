; QX481Setup.exe: installs QX481Mon.exe for every user of the machine, replaces it over running
; monitors, and removes it again. /S runs either part without a window.
;
; cmake/xp.cmake builds it with makensis, defining
;   PRODUCT_EXE  the QX481Mon.exe to ship
;   OUTFILE      the setup program to write
;   TARGET       the stub: x86-unicode, or amd64-unicode for a 64-bit build
;   VERSION_H    res/version.h, whose version and company the setup carries too
; and, to sign the uninstaller and the setup program as they are written,
;   SIGN         the command that signs the file named after it in place (scripts/sign.sh)
;
; Exit codes: 0 done, 1 cancelled by the user, 2 failed, 5 no administrator rights.

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
!define PROGRAM "$WINDIR\QX481Mon.exe"
!define UNINSTALLER "QX481Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QX481Mon"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; A monitor quits within a second of the broadcast; give it up to ten (50 tries 200 ms apart).
!define WAIT_TRIES 50

Name "QX481 camera power monitor"
OutFile "${OUTFILE}"
; The program itself goes into the Windows directory, where its Run value looks for it. Only the
; uninstaller lives here, in a folder of its own that can be removed whole.
InstallDir "$PROGRAMFILES\QX481"

!include MUI2.nsh
!include LogicLib.nsh

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

VIProductVersion 1.1.1.0
VIFileVersion 1.1.1.0
VIAddVersionKey CompanyName "${COMPANY}"
VIAddVersionKey FileDescription "QX481 camera power monitor setup"
VIAddVersionKey FileVersion "${VERSION}"
VIAddVersionKey ProductName "QX481Mon"
VIAddVersionKey ProductVersion "${VERSION}"
VIAddVersionKey LegalCopyright "Copyright (C) 2026 ${COMPANY}"
VIAddVersionKey OriginalFilename "QX481Setup.exe"

; It writes under HKLM and into the Windows directory: without administrator rights it changes
; nothing, says so when it has a window, and exits with 5.
!macro RequireAdministrator WHAT
    UserInfo::GetAccountType
    Pop $0
    ${If} $0 != "Admin"
        MessageBox MB_OK|MB_ICONSTOP \
            "${WHAT} $(^Name) needs administrator rights. Nothing was changed." /SD IDOK
        SetErrorLevel 5
        Quit
    ${EndIf}
!macroend

Function .onInit
    !insertmacro RequireAdministrator "Installing"
    ; A copy installed by QX481Mon.msi is Windows Installer's to replace and remove: it is left
    ; alone, and the setup program fails with 2.
    System::Call 'msi::MsiEnumRelatedProductsW(w "${UPGRADE_CODE}", i 0, i 0, w .r1) i .r0'
    ${If} $0 = 0
        MessageBox MB_OK|MB_ICONSTOP "$(^Name) is installed from its Windows Installer package \
            (QX481Mon.msi). Remove it under Add/Remove Programs first. Nothing was changed." \
            /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro RequireAdministrator "Removing"
FunctionEnd

; Adds the size of file $0 to $1, in bytes.
!macro AddFileSize
    FileOpen $2 $0 r
    FileSeek $2 0 END $3
    FileClose $2
    IntOp $1 $1 + $3
!macroend

Section
    ; The quit is a broadcast that every monitor obeys, whichever copy it runs from, so the new
    ; copy ends them: it works also where an earlier copy is damaged or gone.
    InitPluginsDir
    File "/oname=$PLUGINSDIR\QX481Mon.exe" "${PRODUCT_EXE}"
    DetailPrint "Ending running monitors"
    ExecWait '"$PLUGINSDIR\QX481Mon.exe" /u'

    ; A monitor holds its file until it has quit.
    DetailPrint "Copying QX481Mon.exe to $WINDIR"
    SetDetailsPrint none
    SetOverwrite try
    StrCpy $1 0
    ${Do}
        ClearErrors
        File "/oname=${PROGRAM}" "${PRODUCT_EXE}"
        ${IfNot} ${Errors}
        ${OrIf} $1 >= ${WAIT_TRIES}
            ${Break}
        ${EndIf}
        Sleep 200
        IntOp $1 $1 + 1
    ${Loop}
    SetOverwrite on
    SetDetailsPrint both
    ${If} ${Errors}
        ; Back to what ran before: the earlier copy registers itself and starts again.
        Exec '"${PROGRAM}" /i'
        MessageBox MB_OK|MB_ICONSTOP "${PROGRAM} is still in use and could not be replaced." \
            /SD IDOK
        Abort "${PROGRAM} is still in use"
    ${EndIf}

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
        MessageBox MB_OK|MB_ICONSTOP "The uninstaller could not be registered." /SD IDOK
        Abort "The uninstaller could not be registered"
    ${EndIf}

    ; Writes the Run value and, on a machine that qualifies, starts the monitor in this session.
    ; Exec runs it in the output directory: the Windows directory, never one that is removed.
    SetOutPath $WINDIR
    Exec '"${PROGRAM}" /i'
SectionEnd

Section Uninstall
    ; /u removes the Run value and makes every monitor quit.
    ${If} ${FileExists} "${PROGRAM}"
        DetailPrint "Ending running monitors"
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
        DetailPrint "${PROGRAM} is still in use: it will be deleted when Windows restarts"
        MessageBox MB_OK|MB_ICONINFORMATION \
            "${PROGRAM} is still in use. It will be deleted when Windows restarts." /SD IDOK
    ${EndIf}

    ; Gone already when this runs from a copy of the uninstaller; otherwise un.onUninstSuccess
    ; sees to it.
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

; A program cannot delete its own file while it runs: a hidden command interpreter deletes this
; uninstaller, and its folder when that is left empty, once it has ended: a second after it
; starts, and again two seconds later.
Function un.onUninstSuccess
    SetOutPath $SYSDIR ; its working directory, which must not be the folder to remove
    StrCpy $0 'del /f /q "$EXEPATH" 2>nul'
    StrCpy $1 'ping -n 2 127.0.0.1 >nul & $0 & ping -n 3 127.0.0.1 >nul & $0 & rd "$EXEDIR" 2>nul'
    ExecShell "" "$SYSDIR\cmd.exe" "/c $1" SW_HIDE
FunctionEnd
