; The setup program's own texts, in each language it speaks. NSIS's language files translate its
; pages and buttons; these are the texts QX481Mon.nsi adds, named there as $(name).
;
; The setup program speaks the Windows display language when it is one of these, or else another
; variant of the same language (German of Austria, Spanish of Mexico, Portuguese of Portugal),
; the first one here where two are variants of it: Traditional Chinese comes before Simplified
; for Hong Kong's and Macao's. Where it is none of them, the first one here, English.
;
; Every language carries every text: makensis -WX, as the build runs it, fails on one that is
; missing. A translation says what the English says, in the words Windows XP itself uses in that
; language for restart, Add or Remove Programs and administrator (the table in
; tests/installer/texts_test.py holds them). The program's name stays "$(^Name)", untranslated.
;
; This file is UTF-8 with a byte-order mark, which makensis reads as UTF-8.


!insertmacro MUI_LANGUAGE English
LangString WelcomeText ${LANG_ENGLISH} "This installs the $(^Name) for every user of this \
    computer. It runs unseen from each log-on and tells the QX481 USB camera's driver when \
    Windows suspends, a session ends or the battery runs low.$\r$\n$\r$\n\
    Setup copies QX481Mon.exe into the Windows folder, starts it at log-on and adds it to Add or \
    Remove Programs. A running monitor is ended and replaced, normally with no \
    restart.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_ENGLISH} "The $(^Name) is installed and starts at every log-on, for \
    every user. On a computer without a QX481 USB camera it ends at once and no longer \
    starts.$\r$\n$\r$\n\
    Click Finish to close Setup."
LangString FinishRestartText ${LANG_ENGLISH} "$3 The new version takes its place when Windows \
    restarts; until then the version in place runs on.$\r$\n$\r$\n\
    Click Finish to close Setup."
LangString UninstallConfirmText ${LANG_ENGLISH} "This removes the $(^Name) from this computer: it \
    ends the running monitors, stops the monitor starting at log-on and deletes QX481Mon.exe from \
    the Windows folder. The camera and its driver stay as they are."
LangString InstallNeedsAdministrator ${LANG_ENGLISH} "Installing $(^Name) needs administrator \
    rights. Nothing was changed."
LangString RemovalNeedsAdministrator ${LANG_ENGLISH} "Removing $(^Name) needs administrator \
    rights. Nothing was changed."
LangString InstalledByPackage ${LANG_ENGLISH} "$(^Name) is installed from its Windows Installer \
    package (QX481Mon.msi). Remove it under Add or Remove Programs first. Nothing was changed."
LangString NewerVersionInstalled ${LANG_ENGLISH} "A newer version of $(^Name) is installed ($3; \
    this is $4). To go back to this version, remove the installed one under Add or Remove \
    Programs first. Nothing was changed."
LangString EndingMonitors ${LANG_ENGLISH} "Ending running monitors"
LangString CopyingProgram ${LANG_ENGLISH} "Copying QX481Mon.exe to $WINDIR"
LangString AlreadyInPlace ${LANG_ENGLISH} "${PROGRAM} is this version already: left as it is"
LangString ProgramNotReplaced ${LANG_ENGLISH} "${PROGRAM} is in use and could not be replaced."
LangString RemovalWaits ${LANG_ENGLISH} "An earlier removal of ${PROGRAM} waits for a restart of \
    Windows."
LangString ProgramInUse ${LANG_ENGLISH} "${PROGRAM} is in use by another program."
LangString ReplacedAtRestart ${LANG_ENGLISH} "${PROGRAM} will be replaced when Windows restarts"
LangString RestartToFinishInstall ${LANG_ENGLISH} "$3 Restart Windows to finish the installation."
LangString UninstallerNotRegistered ${LANG_ENGLISH} "The uninstaller could not be registered."
LangString DeletedAtRestart ${LANG_ENGLISH} "${PROGRAM} is still in use: it will be deleted when \
    Windows restarts"
LangString RestartToFinishRemoval ${LANG_ENGLISH} "${PROGRAM} is still in use by another program. \
    Restart Windows to finish removing it."

!insertmacro MUI_LANGUAGE German
LangString WelcomeText ${LANG_GERMAN} "Hiermit wird $(^Name) für alle Benutzer dieses Computers \
    installiert. Das Programm läuft ab jeder Anmeldung unsichtbar und teilt dem Treiber der \
    USB-Kamera QX481 mit, wenn Windows in den Standbymodus wechselt, eine Sitzung endet oder der \
    Akku fast leer ist.$\r$\n$\r$\n\
    Die Installation kopiert QX481Mon.exe in den Windows-Ordner, startet das Programm bei der \
    Anmeldung und trägt es unter „Software“ ein. Ein laufender Monitor wird beendet und ersetzt, \
    normalerweise ohne Neustart.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_GERMAN} "$(^Name) ist installiert und startet bei jeder Anmeldung, \
    für alle Benutzer. Auf einem Computer ohne USB-Kamera QX481 beendet es sich sofort und \
    startet nicht mehr.$\r$\n$\r$\n\
    Klicken Sie auf Fertigstellen, um den Installationsassistenten zu schließen."
LangString FinishRestartText ${LANG_GERMAN} "$3 Die neue Version tritt an ihre Stelle, wenn \
    Windows neu gestartet wird; bis dahin läuft die vorhandene Version weiter.$\r$\n$\r$\n\
    Klicken Sie auf Fertigstellen, um den Installationsassistenten zu schließen."
LangString UninstallConfirmText ${LANG_GERMAN} "Hiermit wird $(^Name) von diesem Computer \
    entfernt: Laufende Monitore werden beendet, der Start bei der Anmeldung entfällt, \
    QX481Mon.exe wird aus dem Windows-Ordner gelöscht. Kamera und Treiber bleiben unverändert."
LangString InstallNeedsAdministrator ${LANG_GERMAN} "Zum Installieren von $(^Name) sind \
    Administratorrechte erforderlich. Es wurde nichts geändert."
LangString RemovalNeedsAdministrator ${LANG_GERMAN} "Zum Entfernen von $(^Name) sind \
    Administratorrechte erforderlich. Es wurde nichts geändert."
LangString InstalledByPackage ${LANG_GERMAN} "$(^Name) wurde mit seinem Windows Installer-Paket \
    (QX481Mon.msi) installiert. Entfernen Sie es zuerst unter „Software“. Es wurde nichts \
    geändert."
LangString NewerVersionInstalled ${LANG_GERMAN} "Eine neuere Version von $(^Name) ist \
    installiert ($3; dies ist $4). Um zu dieser Version zurückzukehren, entfernen Sie die \
    installierte zuerst unter „Software“. Es wurde nichts geändert."
LangString EndingMonitors ${LANG_GERMAN} "Laufende Monitore werden beendet"
LangString CopyingProgram ${LANG_GERMAN} "QX481Mon.exe wird nach $WINDIR kopiert"
LangString AlreadyInPlace ${LANG_GERMAN} "${PROGRAM} hat bereits diese Version und bleibt \
    unverändert"
LangString ProgramNotReplaced ${LANG_GERMAN} "${PROGRAM} wird verwendet und konnte nicht ersetzt \
    werden."
LangString RemovalWaits ${LANG_GERMAN} "Ein früheres Entfernen von ${PROGRAM} wartet auf einen \
    Neustart von Windows."
LangString ProgramInUse ${LANG_GERMAN} "${PROGRAM} wird von einem anderen Programm verwendet."
LangString ReplacedAtRestart ${LANG_GERMAN} "${PROGRAM} wird beim Neustart von Windows ersetzt"
LangString RestartToFinishInstall ${LANG_GERMAN} "$3 Starten Sie Windows neu, um die Installation \
    abzuschließen."
LangString UninstallerNotRegistered ${LANG_GERMAN} "Das Deinstallationsprogramm konnte nicht \
    registriert werden."
LangString DeletedAtRestart ${LANG_GERMAN} "${PROGRAM} wird noch verwendet: Es wird beim Neustart \
    von Windows gelöscht"
LangString RestartToFinishRemoval ${LANG_GERMAN} "${PROGRAM} wird noch von einem anderen Programm \
    verwendet. Starten Sie Windows neu, um das Entfernen abzuschließen."

!insertmacro MUI_LANGUAGE French
LangString WelcomeText ${LANG_FRENCH} "Ce programme installe $(^Name) pour tous les utilisateurs \
    de cet ordinateur. Il s'exécute de façon invisible dès chaque ouverture de session et signale \
    au pilote de la caméra USB QX481 la mise en veille de Windows, la fin d'une session ou une \
    batterie presque épuisée.$\r$\n$\r$\n\
    Le programme d'installation copie QX481Mon.exe dans le dossier Windows, le lance à \
    l'ouverture de session et l'ajoute à Ajout/Suppression de programmes. Un moniteur en cours \
    d'exécution est arrêté et remplacé, normalement sans redémarrage.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_FRENCH} "$(^Name) est installé et démarre à chaque ouverture de \
    session, pour tous les utilisateurs. Sur un ordinateur sans caméra USB QX481, il s'arrête \
    aussitôt et ne démarre plus.$\r$\n$\r$\n\
    Cliquez sur Fermer pour quitter le programme d'installation."
LangString FinishRestartText ${LANG_FRENCH} "$3 La nouvelle version prendra sa place au \
    redémarrage de Windows ; d'ici là, la version en place continue de fonctionner.$\r$\n$\r$\n\
    Cliquez sur Fermer pour quitter le programme d'installation."
LangString UninstallConfirmText ${LANG_FRENCH} "Ce programme supprime $(^Name) de cet ordinateur \
    : il arrête les moniteurs actifs, empêche leur démarrage à l'ouverture de session et supprime \
    QX481Mon.exe du dossier Windows. La caméra et son pilote ne changent pas."
LangString InstallNeedsAdministrator ${LANG_FRENCH} "L'installation de $(^Name) nécessite des \
    droits d'administrateur. Aucune modification n'a été effectuée."
LangString RemovalNeedsAdministrator ${LANG_FRENCH} "La suppression de $(^Name) nécessite des \
    droits d'administrateur. Aucune modification n'a été effectuée."
LangString InstalledByPackage ${LANG_FRENCH} "$(^Name) a été installé par son package Windows \
    Installer (QX481Mon.msi). Supprimez-le d'abord dans Ajout/Suppression de programmes. Aucune \
    modification n'a été effectuée."
LangString NewerVersionInstalled ${LANG_FRENCH} "Une version plus récente de $(^Name) est \
    installée ($3 ; celle-ci est la $4). Pour revenir à cette version, supprimez d'abord la \
    version installée dans Ajout/Suppression de programmes. Aucune modification n'a été \
    effectuée."
LangString EndingMonitors ${LANG_FRENCH} "Arrêt des moniteurs en cours d'exécution"
LangString CopyingProgram ${LANG_FRENCH} "Copie de QX481Mon.exe dans $WINDIR"
LangString AlreadyInPlace ${LANG_FRENCH} "${PROGRAM} est déjà de cette version : il reste tel \
    quel"
LangString ProgramNotReplaced ${LANG_FRENCH} "${PROGRAM} est en cours d'utilisation et n'a pas pu \
    être remplacé."
LangString RemovalWaits ${LANG_FRENCH} "Une suppression précédente de ${PROGRAM} attend un \
    redémarrage de Windows."
LangString ProgramInUse ${LANG_FRENCH} "${PROGRAM} est utilisé par un autre programme."
LangString ReplacedAtRestart ${LANG_FRENCH} "${PROGRAM} sera remplacé au redémarrage de Windows"
LangString RestartToFinishInstall ${LANG_FRENCH} "$3 Redémarrez Windows pour terminer \
    l'installation."
LangString UninstallerNotRegistered ${LANG_FRENCH} "Le programme de désinstallation n'a pas pu \
    être enregistré."
LangString DeletedAtRestart ${LANG_FRENCH} "${PROGRAM} est encore utilisé : il sera supprimé au \
    redémarrage de Windows"
LangString RestartToFinishRemoval ${LANG_FRENCH} "${PROGRAM} est encore utilisé par un autre \
    programme. Redémarrez Windows pour terminer sa suppression."

!insertmacro MUI_LANGUAGE Spanish
LangString WelcomeText ${LANG_SPANISH} "Este programa instala $(^Name) para todos los usuarios de \
    este equipo. Se ejecuta de forma invisible desde cada inicio de sesión e informa al \
    controlador de la cámara USB QX481 cuando Windows se suspende, termina una sesión o la \
    batería se está agotando.$\r$\n$\r$\n\
    El programa de instalación copia QX481Mon.exe en la carpeta de Windows, lo inicia al iniciar \
    sesión y lo agrega a Agregar o quitar programas. Un monitor en ejecución se detiene y se \
    reemplaza, normalmente sin reiniciar.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_SPANISH} "$(^Name) está instalado y se inicia en cada inicio de \
    sesión, para todos los usuarios. En un equipo sin cámara USB QX481 se detiene de inmediato y \
    deja de iniciarse.$\r$\n$\r$\n\
    Presione Terminar para cerrar este asistente."
LangString FinishRestartText ${LANG_SPANISH} "$3 La nueva versión ocupará su lugar cuando se \
    reinicie Windows; hasta entonces sigue funcionando la versión instalada.$\r$\n$\r$\n\
    Presione Terminar para cerrar este asistente."
LangString UninstallConfirmText ${LANG_SPANISH} "Este programa quita $(^Name) de este equipo: \
    detiene los monitores en ejecución, impide que el monitor se inicie al iniciar sesión y \
    elimina QX481Mon.exe de la carpeta de Windows. La cámara y su controlador no se modifican."
LangString InstallNeedsAdministrator ${LANG_SPANISH} "Para instalar $(^Name) se necesitan \
    derechos de administrador. No se ha cambiado nada."
LangString RemovalNeedsAdministrator ${LANG_SPANISH} "Para quitar $(^Name) se necesitan derechos \
    de administrador. No se ha cambiado nada."
LangString InstalledByPackage ${LANG_SPANISH} "$(^Name) se instaló con su paquete de Windows \
    Installer (QX481Mon.msi). Quítelo primero en Agregar o quitar programas. No se ha cambiado \
    nada."
LangString NewerVersionInstalled ${LANG_SPANISH} "Hay instalada una versión más reciente de \
    $(^Name) ($3; esta es la $4). Para volver a esta versión, quite primero la instalada en \
    Agregar o quitar programas. No se ha cambiado nada."
LangString EndingMonitors ${LANG_SPANISH} "Deteniendo los monitores en ejecución"
LangString CopyingProgram ${LANG_SPANISH} "Copiando QX481Mon.exe en $WINDIR"
LangString AlreadyInPlace ${LANG_SPANISH} "${PROGRAM} ya tiene esta versión: se deja como está"
LangString ProgramNotReplaced ${LANG_SPANISH} "${PROGRAM} está en uso y no se pudo reemplazar."
LangString RemovalWaits ${LANG_SPANISH} "Una eliminación anterior de ${PROGRAM} espera a que se \
    reinicie Windows."
LangString ProgramInUse ${LANG_SPANISH} "${PROGRAM} está siendo usado por otro programa."
LangString ReplacedAtRestart ${LANG_SPANISH} "${PROGRAM} se reemplazará cuando se reinicie Windows"
LangString RestartToFinishInstall ${LANG_SPANISH} "$3 Reinicie Windows para completar la \
    instalación."
LangString UninstallerNotRegistered ${LANG_SPANISH} "No se pudo registrar el programa de \
    desinstalación."
LangString DeletedAtRestart ${LANG_SPANISH} "${PROGRAM} sigue en uso: se eliminará cuando se \
    reinicie Windows"
LangString RestartToFinishRemoval ${LANG_SPANISH} "${PROGRAM} sigue en uso por otro programa. \
    Reinicie Windows para terminar de quitarlo."

!insertmacro MUI_LANGUAGE Italian
LangString WelcomeText ${LANG_ITALIAN} "Questo programma installa $(^Name) per tutti gli utenti \
    del computer. Viene eseguito in modo invisibile a ogni accesso e comunica al driver della \
    videocamera USB QX481 quando Windows entra in standby, una sessione termina o la batteria è \
    quasi scarica.$\r$\n$\r$\n\
    L'installazione copia QX481Mon.exe nella cartella di Windows, lo avvia all'accesso e lo \
    aggiunge a Installazione applicazioni. Un monitor in esecuzione viene chiuso e sostituito, di \
    norma senza riavvio.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_ITALIAN} "$(^Name) è installato e si avvia a ogni accesso, per tutti \
    gli utenti. Su un computer senza videocamera USB QX481 si chiude subito e non si avvia \
    più.$\r$\n$\r$\n\
    Scegli 'Chiudi' per chiudere il programma di installazione."
LangString FinishRestartText ${LANG_ITALIAN} "$3 La nuova versione lo sostituirà al riavvio di \
    Windows; fino ad allora resta in funzione la versione presente.$\r$\n$\r$\n\
    Scegli 'Chiudi' per chiudere il programma di installazione."
LangString UninstallConfirmText ${LANG_ITALIAN} "Questo programma rimuove $(^Name) dal computer: \
    chiude i monitor in esecuzione, ne impedisce l'avvio all'accesso ed elimina QX481Mon.exe \
    dalla cartella di Windows. La videocamera e il suo driver restano invariati."
LangString InstallNeedsAdministrator ${LANG_ITALIAN} "Per installare $(^Name) sono necessari i \
    diritti di amministratore. Non è stato modificato nulla."
LangString RemovalNeedsAdministrator ${LANG_ITALIAN} "Per rimuovere $(^Name) sono necessari i \
    diritti di amministratore. Non è stato modificato nulla."
LangString InstalledByPackage ${LANG_ITALIAN} "$(^Name) è stato installato dal suo pacchetto di \
    Windows Installer (QX481Mon.msi). Rimuoverlo prima da Installazione applicazioni. Non è stato \
    modificato nulla."
LangString NewerVersionInstalled ${LANG_ITALIAN} "È installata una versione più recente di \
    $(^Name) ($3; questa è la $4). Per tornare a questa versione, rimuovere prima quella \
    installata da Installazione applicazioni. Non è stato modificato nulla."
LangString EndingMonitors ${LANG_ITALIAN} "Chiusura dei monitor in esecuzione"
LangString CopyingProgram ${LANG_ITALIAN} "Copia di QX481Mon.exe in $WINDIR"
LangString AlreadyInPlace ${LANG_ITALIAN} "${PROGRAM} ha già questa versione e non viene \
    modificato"
LangString ProgramNotReplaced ${LANG_ITALIAN} "${PROGRAM} è in uso e non è stato possibile \
    sostituirlo."
LangString RemovalWaits ${LANG_ITALIAN} "Una rimozione precedente di ${PROGRAM} attende il \
    riavvio di Windows."
LangString ProgramInUse ${LANG_ITALIAN} "${PROGRAM} è in uso da parte di un altro programma."
LangString ReplacedAtRestart ${LANG_ITALIAN} "${PROGRAM} verrà sostituito al riavvio di Windows"
LangString RestartToFinishInstall ${LANG_ITALIAN} "$3 Riavviare Windows per completare \
    l'installazione."
LangString UninstallerNotRegistered ${LANG_ITALIAN} "Impossibile registrare il programma di \
    disinstallazione."
LangString DeletedAtRestart ${LANG_ITALIAN} "${PROGRAM} è ancora in uso: verrà eliminato al \
    riavvio di Windows"
LangString RestartToFinishRemoval ${LANG_ITALIAN} "${PROGRAM} è ancora in uso da parte di un \
    altro programma. Riavviare Windows per completarne la rimozione."

!insertmacro MUI_LANGUAGE PortugueseBR
LangString WelcomeText ${LANG_PORTUGUESEBR} "Este programa instala o $(^Name) para todos os \
    usuários deste computador. Ele é executado de forma invisível a cada logon e avisa o driver \
    da câmera USB QX481 quando o Windows entra em espera, uma sessão termina ou a bateria está \
    acabando.$\r$\n$\r$\n\
    O instalador copia o QX481Mon.exe para a pasta do Windows, inicia-o no logon e o adiciona a \
    Adicionar ou remover programas. Um monitor em execução é encerrado e substituído, normalmente \
    sem reiniciar.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_PORTUGUESEBR} "O $(^Name) está instalado e inicia a cada logon, para \
    todos os usuários. Em um computador sem câmera USB QX481, ele se encerra imediatamente e não \
    inicia mais.$\r$\n$\r$\n\
    Clique em Concluir para fechar o instalador."
LangString FinishRestartText ${LANG_PORTUGUESEBR} "$3 A nova versão ocupará o seu lugar quando o \
    Windows for reiniciado; até lá, a versão atual continua em execução.$\r$\n$\r$\n\
    Clique em Concluir para fechar o instalador."
LangString UninstallConfirmText ${LANG_PORTUGUESEBR} "Este programa remove o $(^Name) deste \
    computador: encerra os monitores em execução, impede que o monitor inicie no logon e exclui o \
    QX481Mon.exe da pasta do Windows. A câmera e o seu driver não são alterados."
LangString InstallNeedsAdministrator ${LANG_PORTUGUESEBR} "A instalação do $(^Name) requer \
    direitos de administrador. Nada foi alterado."
LangString RemovalNeedsAdministrator ${LANG_PORTUGUESEBR} "A remoção do $(^Name) requer direitos \
    de administrador. Nada foi alterado."
LangString InstalledByPackage ${LANG_PORTUGUESEBR} "O $(^Name) foi instalado pelo seu pacote do \
    Windows Installer (QX481Mon.msi). Remova-o primeiro em Adicionar ou remover programas. Nada \
    foi alterado."
LangString NewerVersionInstalled ${LANG_PORTUGUESEBR} "Uma versão mais recente do $(^Name) \
    está instalada ($3; esta é a $4). Para voltar a esta versão, remova primeiro a versão \
    instalada em Adicionar ou remover programas. Nada foi alterado."
LangString EndingMonitors ${LANG_PORTUGUESEBR} "Encerrando os monitores em execução"
LangString CopyingProgram ${LANG_PORTUGUESEBR} "Copiando QX481Mon.exe para $WINDIR"
LangString AlreadyInPlace ${LANG_PORTUGUESEBR} "${PROGRAM} já está nesta versão e foi mantido \
    como está"
LangString ProgramNotReplaced ${LANG_PORTUGUESEBR} "${PROGRAM} está em uso e não pôde ser \
    substituído."
LangString RemovalWaits ${LANG_PORTUGUESEBR} "Uma remoção anterior de ${PROGRAM} aguarda a \
    reinicialização do Windows."
LangString ProgramInUse ${LANG_PORTUGUESEBR} "${PROGRAM} está sendo usado por outro programa."
LangString ReplacedAtRestart ${LANG_PORTUGUESEBR} "${PROGRAM} será substituído quando o Windows \
    for reiniciado"
LangString RestartToFinishInstall ${LANG_PORTUGUESEBR} "$3 Reinicie o Windows para concluir a \
    instalação."
LangString UninstallerNotRegistered ${LANG_PORTUGUESEBR} "Não foi possível registrar o \
    desinstalador."
LangString DeletedAtRestart ${LANG_PORTUGUESEBR} "${PROGRAM} ainda está em uso: será excluído \
    quando o Windows for reiniciado"
LangString RestartToFinishRemoval ${LANG_PORTUGUESEBR} "${PROGRAM} ainda está em uso por outro \
    programa. Reinicie o Windows para concluir a remoção."

!insertmacro MUI_LANGUAGE Dutch
LangString WelcomeText ${LANG_DUTCH} "Hiermee wordt $(^Name) geïnstalleerd voor alle gebruikers \
    van deze computer. Het programma draait onzichtbaar vanaf elke aanmelding en laat het \
    stuurprogramma van de USB-camera QX481 weten wanneer Windows in stand-by gaat, een sessie \
    eindigt of de accu bijna leeg is.$\r$\n$\r$\n\
    Setup kopieert QX481Mon.exe naar de Windows-map, start het bij het aanmelden en voegt het toe \
    aan $\"Software$\". Een actieve monitor wordt beëindigd en vervangen, normaal gesproken \
    zonder opnieuw op te starten.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_DUTCH} "$(^Name) is geïnstalleerd en start bij elke aanmelding, voor \
    alle gebruikers. Op een computer zonder USB-camera QX481 stopt het meteen en start het niet \
    meer.$\r$\n$\r$\n\
    Klik op Voltooien om deze wizard te sluiten."
LangString FinishRestartText ${LANG_DUTCH} "$3 De nieuwe versie neemt de plaats ervan in wanneer \
    Windows opnieuw is opgestart; tot dan blijft de huidige versie actief.$\r$\n$\r$\n\
    Klik op Voltooien om deze wizard te sluiten."
LangString UninstallConfirmText ${LANG_DUTCH} "Hiermee wordt $(^Name) van deze computer \
    verwijderd: actieve monitors worden beëindigd, ze starten niet meer bij het aanmelden en \
    QX481Mon.exe verdwijnt uit de Windows-map. Camera en stuurprogramma blijven ongewijzigd."
LangString InstallNeedsAdministrator ${LANG_DUTCH} "Voor het installeren van $(^Name) zijn \
    beheerdersrechten vereist. Er is niets gewijzigd."
LangString RemovalNeedsAdministrator ${LANG_DUTCH} "Voor het verwijderen van $(^Name) zijn \
    beheerdersrechten vereist. Er is niets gewijzigd."
LangString InstalledByPackage ${LANG_DUTCH} "$(^Name) is geïnstalleerd met het Windows \
    Installer-pakket (QX481Mon.msi). Verwijder het eerst via $\"Software$\". Er is niets \
    gewijzigd."
LangString NewerVersionInstalled ${LANG_DUTCH} "Er is een nieuwere versie van $(^Name) \
    geïnstalleerd ($3; dit is $4). Als u naar deze versie wilt teruggaan, verwijdert u eerst de \
    geïnstalleerde versie via $\"Software$\". Er is niets gewijzigd."
LangString EndingMonitors ${LANG_DUTCH} "Actieve monitors worden beëindigd"
LangString CopyingProgram ${LANG_DUTCH} "QX481Mon.exe wordt naar $WINDIR gekopieerd"
LangString AlreadyInPlace ${LANG_DUTCH} "${PROGRAM} heeft deze versie al en blijft \
    ongewijzigd"
LangString ProgramNotReplaced ${LANG_DUTCH} "${PROGRAM} is in gebruik en kan niet worden \
    vervangen."
LangString RemovalWaits ${LANG_DUTCH} "Een eerdere verwijdering van ${PROGRAM} wacht tot Windows \
    opnieuw is opgestart."
LangString ProgramInUse ${LANG_DUTCH} "${PROGRAM} wordt door een ander programma gebruikt."
LangString ReplacedAtRestart ${LANG_DUTCH} "${PROGRAM} wordt vervangen wanneer Windows opnieuw \
    wordt opgestart"
LangString RestartToFinishInstall ${LANG_DUTCH} "$3 Start Windows opnieuw op om de installatie te \
    voltooien."
LangString UninstallerNotRegistered ${LANG_DUTCH} "Het verwijderprogramma kan niet worden \
    geregistreerd."
LangString DeletedAtRestart ${LANG_DUTCH} "${PROGRAM} is nog in gebruik: het wordt verwijderd \
    wanneer Windows opnieuw wordt opgestart"
LangString RestartToFinishRemoval ${LANG_DUTCH} "${PROGRAM} wordt nog door een ander programma \
    gebruikt. Start Windows opnieuw op om het verwijderen te voltooien."

!insertmacro MUI_LANGUAGE Polish
LangString WelcomeText ${LANG_POLISH} "Ten program instaluje $(^Name) dla wszystkich użytkowników \
    tego komputera. Działa on niewidocznie od każdego logowania i powiadamia sterownik kamery USB \
    QX481, gdy system Windows przechodzi w stan wstrzymania, sesja się kończy lub bateria jest \
    bliska wyczerpania.$\r$\n$\r$\n\
    Instalator kopiuje plik QX481Mon.exe do folderu Windows, uruchamia go przy logowaniu i dodaje \
    do okna Dodaj lub usuń programy. Działający monitor jest zamykany i zastępowany, zwykle bez \
    ponownego uruchamiania.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_POLISH} "Program $(^Name) jest zainstalowany i uruchamia się przy \
    każdym logowaniu, dla wszystkich użytkowników. Na komputerze bez kamery USB QX481 natychmiast \
    się zamyka i więcej się nie uruchamia.$\r$\n$\r$\n\
    Kliknij przycisk 'Zakończ', aby zakończyć działanie instalatora."
LangString FinishRestartText ${LANG_POLISH} "$3 Nowa wersja zajmie jego miejsce po ponownym \
    uruchomieniu systemu Windows; do tego czasu działa dotychczasowa wersja.$\r$\n$\r$\n\
    Kliknij przycisk 'Zakończ', aby zakończyć działanie instalatora."
LangString UninstallConfirmText ${LANG_POLISH} "Ten program usuwa $(^Name) z tego komputera: \
    zamyka działające monitory, wyłącza uruchamianie monitora przy logowaniu i usuwa plik \
    QX481Mon.exe z folderu Windows. Kamera i jej sterownik pozostają bez zmian."
LangString InstallNeedsAdministrator ${LANG_POLISH} "Instalacja programu $(^Name) wymaga \
    uprawnień administratora. Niczego nie zmieniono."
LangString RemovalNeedsAdministrator ${LANG_POLISH} "Usunięcie programu $(^Name) wymaga uprawnień \
    administratora. Niczego nie zmieniono."
LangString InstalledByPackage ${LANG_POLISH} "Program $(^Name) został zainstalowany z pakietu \
    Instalatora Windows (QX481Mon.msi). Najpierw usuń go w oknie Dodaj lub usuń programy. Niczego \
    nie zmieniono."
LangString NewerVersionInstalled ${LANG_POLISH} "Zainstalowana jest nowsza wersja programu \
    $(^Name) ($3; ta wersja to $4). Aby wrócić do tej wersji, najpierw usuń zainstalowaną w \
    oknie Dodaj lub usuń programy. Niczego nie zmieniono."
LangString EndingMonitors ${LANG_POLISH} "Zamykanie działających monitorów"
LangString CopyingProgram ${LANG_POLISH} "Kopiowanie pliku QX481Mon.exe do $WINDIR"
LangString AlreadyInPlace ${LANG_POLISH} "Plik ${PROGRAM} ma już tę wersję i pozostaje bez \
    zmian"
LangString ProgramNotReplaced ${LANG_POLISH} "Plik ${PROGRAM} jest używany i nie można go \
    zastąpić."
LangString RemovalWaits ${LANG_POLISH} "Wcześniejsze usunięcie pliku ${PROGRAM} czeka na ponowne \
    uruchomienie systemu Windows."
LangString ProgramInUse ${LANG_POLISH} "Plik ${PROGRAM} jest używany przez inny program."
LangString ReplacedAtRestart ${LANG_POLISH} "Plik ${PROGRAM} zostanie zastąpiony po ponownym \
    uruchomieniu systemu Windows"
LangString RestartToFinishInstall ${LANG_POLISH} "$3 Uruchom ponownie system Windows, aby \
    zakończyć instalację."
LangString UninstallerNotRegistered ${LANG_POLISH} "Nie można zarejestrować dezinstalatora."
LangString DeletedAtRestart ${LANG_POLISH} "Plik ${PROGRAM} jest nadal używany: zostanie usunięty \
    po ponownym uruchomieniu systemu Windows"
LangString RestartToFinishRemoval ${LANG_POLISH} "Plik ${PROGRAM} jest nadal używany przez inny \
    program. Uruchom ponownie system Windows, aby dokończyć jego usuwanie."

!insertmacro MUI_LANGUAGE Czech
LangString WelcomeText ${LANG_CZECH} "Tento program nainstaluje $(^Name) pro všechny uživatele \
    tohoto počítače. Program běží neviditelně od každého přihlášení a oznamuje ovladači kamery \
    USB QX481, když systém Windows přechází do úsporného režimu, relace končí nebo je baterie \
    téměř vybitá.$\r$\n$\r$\n\
    Instalace zkopíruje soubor QX481Mon.exe do složky Windows, nastaví jeho spouštění při \
    přihlášení a přidá jej do okna Přidat nebo odebrat programy. Spuštěný monitor se ukončí a \
    nahradí, obvykle bez restartování.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_CZECH} "Program $(^Name) je nainstalován a spouští se při každém \
    přihlášení, pro všechny uživatele. V počítači bez kamery USB QX481 se ihned ukončí a už se \
    nespouští.$\r$\n$\r$\n\
    Kliknutím na tlačítko Dokončit ukončíte tohoto průvodce."
LangString FinishRestartText ${LANG_CZECH} "$3 Nová verze jej nahradí po restartování systému \
    Windows; do té doby běží dosavadní verze.$\r$\n$\r$\n\
    Kliknutím na tlačítko Dokončit ukončíte tohoto průvodce."
LangString UninstallConfirmText ${LANG_CZECH} "Tento program odebere $(^Name) z tohoto počítače: \
    ukončí spuštěné monitory, zruší spouštění monitoru při přihlášení a odstraní soubor \
    QX481Mon.exe ze složky Windows. Kamera a její ovladač zůstanou beze změny."
LangString InstallNeedsAdministrator ${LANG_CZECH} "K instalaci programu $(^Name) jsou třeba \
    oprávnění správce. Nic nebylo změněno."
LangString RemovalNeedsAdministrator ${LANG_CZECH} "K odebrání programu $(^Name) jsou třeba \
    oprávnění správce. Nic nebylo změněno."
LangString InstalledByPackage ${LANG_CZECH} "Program $(^Name) je nainstalován ze svého balíčku \
    Instalační služby systému Windows (QX481Mon.msi). Nejprve jej odeberte v okně Přidat nebo \
    odebrat programy. Nic nebylo změněno."
LangString NewerVersionInstalled ${LANG_CZECH} "Je nainstalována novější verze programu \
    $(^Name) ($3; toto je $4). Chcete-li se vrátit k této verzi, nejprve odeberte nainstalovanou \
    verzi v okně Přidat nebo odebrat programy. Nic nebylo změněno."
LangString EndingMonitors ${LANG_CZECH} "Ukončování spuštěných monitorů"
LangString CopyingProgram ${LANG_CZECH} "Kopírování souboru QX481Mon.exe do $WINDIR"
LangString AlreadyInPlace ${LANG_CZECH} "Soubor ${PROGRAM} již má tuto verzi a zůstává beze \
    změny"
LangString ProgramNotReplaced ${LANG_CZECH} "Soubor ${PROGRAM} se používá a nelze jej nahradit."
LangString RemovalWaits ${LANG_CZECH} "Dřívější odebrání souboru ${PROGRAM} čeká na restartování \
    systému Windows."
LangString ProgramInUse ${LANG_CZECH} "Soubor ${PROGRAM} používá jiný program."
LangString ReplacedAtRestart ${LANG_CZECH} "Soubor ${PROGRAM} bude nahrazen po restartování \
    systému Windows"
LangString RestartToFinishInstall ${LANG_CZECH} "$3 Restartujte systém Windows, aby se instalace \
    dokončila."
LangString UninstallerNotRegistered ${LANG_CZECH} "Odinstalační program nelze zaregistrovat."
LangString DeletedAtRestart ${LANG_CZECH} "Soubor ${PROGRAM} se stále používá: bude odstraněn po \
    restartování systému Windows"
LangString RestartToFinishRemoval ${LANG_CZECH} "Soubor ${PROGRAM} stále používá jiný program. \
    Restartujte systém Windows, aby se odebrání dokončilo."

!insertmacro MUI_LANGUAGE Russian
LangString WelcomeText ${LANG_RUSSIAN} "Программа установит $(^Name) для всех пользователей этого \
    компьютера. Он незаметно работает с каждого входа в систему и сообщает драйверу USB-камеры \
    QX481, когда Windows переходит в ждущий режим, завершается сеанс или разряжается \
    батарея.$\r$\n$\r$\n\
    Программа установки копирует QX481Mon.exe в папку Windows, запускает его при входе в систему \
    и добавляет в «Установка и удаление программ». Работающий монитор завершается и заменяется, \
    обычно без перезагрузки.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_RUSSIAN} "$(^Name) установлен и запускается при каждом входе в \
    систему, для всех пользователей. На компьютере без USB-камеры QX481 он сразу завершается и \
    больше не запускается.$\r$\n$\r$\n\
    Нажмите кнопку $\"Готово$\" для выхода из программы установки."
LangString FinishRestartText ${LANG_RUSSIAN} "$3 Новая версия заменит его после перезагрузки \
    Windows; до тех пор работает прежняя версия.$\r$\n$\r$\n\
    Нажмите кнопку $\"Готово$\" для выхода из программы установки."
LangString UninstallConfirmText ${LANG_RUSSIAN} "Программа удалит $(^Name) с этого компьютера: \
    завершит работающие мониторы, отключит запуск монитора при входе в систему и удалит \
    QX481Mon.exe из папки Windows. Камера и её драйвер останутся без изменений."
LangString InstallNeedsAdministrator ${LANG_RUSSIAN} "Для установки $(^Name) требуются права \
    администратора. Ничего не изменено."
LangString RemovalNeedsAdministrator ${LANG_RUSSIAN} "Для удаления $(^Name) требуются права \
    администратора. Ничего не изменено."
LangString InstalledByPackage ${LANG_RUSSIAN} "$(^Name) установлен из пакета установщика Windows \
    (QX481Mon.msi). Сначала удалите его в окне «Установка и удаление программ». Ничего не \
    изменено."
LangString NewerVersionInstalled ${LANG_RUSSIAN} "Установлена более новая версия $(^Name) \
    ($3; эта версия — $4). Чтобы вернуться к этой версии, сначала удалите установленную в окне \
    «Установка и удаление программ». Ничего не изменено."
LangString EndingMonitors ${LANG_RUSSIAN} "Завершение работающих мониторов"
LangString CopyingProgram ${LANG_RUSSIAN} "Копирование QX481Mon.exe в $WINDIR"
LangString AlreadyInPlace ${LANG_RUSSIAN} "Файл ${PROGRAM} уже этой версии и оставлен без \
    изменений"
LangString ProgramNotReplaced ${LANG_RUSSIAN} "Файл ${PROGRAM} используется и не может быть \
    заменён."
LangString RemovalWaits ${LANG_RUSSIAN} "Прежнее удаление ${PROGRAM} ожидает перезагрузки Windows."
LangString ProgramInUse ${LANG_RUSSIAN} "Файл ${PROGRAM} используется другой программой."
LangString ReplacedAtRestart ${LANG_RUSSIAN} "Файл ${PROGRAM} будет заменён после перезагрузки \
    Windows"
LangString RestartToFinishInstall ${LANG_RUSSIAN} "$3 Перезагрузите Windows, чтобы завершить \
    установку."
LangString UninstallerNotRegistered ${LANG_RUSSIAN} "Не удалось зарегистрировать программу \
    удаления."
LangString DeletedAtRestart ${LANG_RUSSIAN} "Файл ${PROGRAM} всё ещё используется: он будет \
    удалён после перезагрузки Windows"
LangString RestartToFinishRemoval ${LANG_RUSSIAN} "Файл ${PROGRAM} всё ещё используется другой \
    программой. Перезагрузите Windows, чтобы завершить его удаление."

!insertmacro MUI_LANGUAGE Turkish
LangString WelcomeText ${LANG_TURKISH} "Bu program, $(^Name) uygulamasını bu bilgisayarın tüm \
    kullanıcıları için kurar. Uygulama her oturum açılışından itibaren görünmeden çalışır ve \
    Windows beklemeye geçtiğinde, bir oturum sona erdiğinde veya pil azaldığında QX481 USB \
    kamerasının sürücüsüne bildirir.$\r$\n$\r$\n\
    Kurulum, QX481Mon.exe dosyasını Windows klasörüne kopyalar, oturum açılışında başlatır ve \
    Program Ekle veya Kaldır listesine ekler. Çalışan bir izleyici kapatılıp değiştirilir; \
    genellikle yeniden başlatma gerekmez.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_TURKISH} "$(^Name) kuruldu; her oturum açılışında tüm kullanıcılar \
    için başlar. QX481 USB kamerası olmayan bir bilgisayarda hemen kapanır ve bir daha \
    başlamaz.$\r$\n$\r$\n\
    Lütfen 'Bitir'e basarak kurulumu sonlandırın."
LangString FinishRestartText ${LANG_TURKISH} "$3 Yeni sürüm, Windows yeniden başlatıldığında onun \
    yerini alır; o zamana kadar mevcut sürüm çalışmaya devam eder.$\r$\n$\r$\n\
    Lütfen 'Bitir'e basarak kurulumu sonlandırın."
LangString UninstallConfirmText ${LANG_TURKISH} "Bu program, $(^Name) uygulamasını bu \
    bilgisayardan kaldırır: çalışan izleyicileri kapatır, izleyicinin oturum açılışında \
    başlamasını durdurur ve QX481Mon.exe dosyasını Windows klasöründen siler. Kamera ve sürücüsü \
    olduğu gibi kalır."
LangString InstallNeedsAdministrator ${LANG_TURKISH} "$(^Name) uygulamasını kurmak için yönetici \
    hakları gerekir. Hiçbir şey değiştirilmedi."
LangString RemovalNeedsAdministrator ${LANG_TURKISH} "$(^Name) uygulamasını kaldırmak için \
    yönetici hakları gerekir. Hiçbir şey değiştirilmedi."
LangString InstalledByPackage ${LANG_TURKISH} "$(^Name), Windows Installer paketiyle \
    (QX481Mon.msi) kurulmuş. Önce Program Ekle veya Kaldır'dan kaldırın. Hiçbir şey \
    değiştirilmedi."
LangString NewerVersionInstalled ${LANG_TURKISH} "$(^Name) uygulamasının daha yeni bir \
    sürümü kurulu ($3; bu sürüm $4). Bu sürüme geri dönmek için önce kurulu olanı Program Ekle \
    veya Kaldır'dan kaldırın. Hiçbir şey değiştirilmedi."
LangString EndingMonitors ${LANG_TURKISH} "Çalışan izleyiciler kapatılıyor"
LangString CopyingProgram ${LANG_TURKISH} "QX481Mon.exe, $WINDIR klasörüne kopyalanıyor"
LangString AlreadyInPlace ${LANG_TURKISH} "${PROGRAM} zaten bu sürümde; olduğu gibi bırakıldı"
LangString ProgramNotReplaced ${LANG_TURKISH} "${PROGRAM} kullanımda ve değiştirilemedi."
LangString RemovalWaits ${LANG_TURKISH} "${PROGRAM} dosyasının daha önceki kaldırma işlemi, \
    Windows'un yeniden başlatılmasını bekliyor."
LangString ProgramInUse ${LANG_TURKISH} "${PROGRAM} başka bir program tarafından kullanılıyor."
LangString ReplacedAtRestart ${LANG_TURKISH} "${PROGRAM}, Windows yeniden başlatıldığında \
    değiştirilecek"
LangString RestartToFinishInstall ${LANG_TURKISH} "$3 Kurulumu tamamlamak için Windows'u yeniden \
    başlatın."
LangString UninstallerNotRegistered ${LANG_TURKISH} "Kaldırma programı kaydedilemedi."
LangString DeletedAtRestart ${LANG_TURKISH} "${PROGRAM} hâlâ kullanımda: Windows yeniden \
    başlatıldığında silinecek"
LangString RestartToFinishRemoval ${LANG_TURKISH} "${PROGRAM} hâlâ başka bir program tarafından \
    kullanılıyor. Kaldırma işlemini tamamlamak için Windows'u yeniden başlatın."

!insertmacro MUI_LANGUAGE Japanese
LangString WelcomeText ${LANG_JAPANESE} "このプログラムは、$(^Name) \
    をこのコンピュータのすべてのユーザーにインストールします。$(^Name) \
    はログオンのたびに画面に表示されずに動作し、Windows のスタンバイ、セッションの終了、\
    バッテリ残量の低下を QX481 USB カメラのドライバに通知します。$\r$\n$\r$\n\
    セットアップは QX481Mon.exe を Windows フォルダにコピーし、\
    ログオン時に起動するように設定して、[プログラムの追加と削除] に追加します。\
    実行中のモニタは終了して置き換えられます。通常、再起動は必要ありません。$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_JAPANESE} "$(^Name) はインストールされ、\
    すべてのユーザーのログオン時に起動します。QX481 USB カメラのないコンピュータでは、\
    すぐに終了し、以後は起動しません。$\r$\n$\r$\n\
    「完了」をクリックしセットアップを閉じます。"
LangString FinishRestartText ${LANG_JAPANESE} "$3 新しいバージョンは、Windows \
    の再起動時に現在のバージョンと置き換わります。それまでは現在のバージョンが動作し続けます。\
    $\r$\n$\r$\n\
    「完了」をクリックしセットアップを閉じます。"
LangString UninstallConfirmText ${LANG_JAPANESE} "このプログラムは、$(^Name) \
    をこのコンピュータから削除します。実行中のモニタを終了し、ログオン時の起動を止め、Windows \
    フォルダから QX481Mon.exe を削除します。カメラとそのドライバは変更されません。"
LangString InstallNeedsAdministrator ${LANG_JAPANESE} "$(^Name) \
    のインストールには管理者権限が必要です。何も変更されていません。"
LangString RemovalNeedsAdministrator ${LANG_JAPANESE} "$(^Name) の削除には管理者権限が必要です。\
    何も変更されていません。"
LangString InstalledByPackage ${LANG_JAPANESE} "$(^Name) は Windows インストーラ パッケージ \
    (QX481Mon.msi) からインストールされています。先に [プログラムの追加と削除] \
    で削除してください。何も変更されていません。"
LangString NewerVersionInstalled ${LANG_JAPANESE} "$(^Name) の新しいバージョン ($3) \
    がインストールされています (このプログラムは $4)。このバージョンに戻すには、先に \
    [プログラムの追加と削除] でインストールされているバージョンを削除してください。\
    何も変更されていません。"
LangString EndingMonitors ${LANG_JAPANESE} "実行中のモニタを終了しています"
LangString CopyingProgram ${LANG_JAPANESE} "QX481Mon.exe を $WINDIR にコピーしています"
LangString AlreadyInPlace ${LANG_JAPANESE} "${PROGRAM} は既にこのバージョンのため、\
    そのままにします"
LangString ProgramNotReplaced ${LANG_JAPANESE} "${PROGRAM} は使用中のため、\
    置き換えられませんでした。"
LangString RemovalWaits ${LANG_JAPANESE} "以前に行われた ${PROGRAM} の削除が、Windows \
    の再起動を待っています。"
LangString ProgramInUse ${LANG_JAPANESE} "${PROGRAM} は別のプログラムで使用中です。"
LangString ReplacedAtRestart ${LANG_JAPANESE} "${PROGRAM} は Windows の再起動時に置き換えられます"
LangString RestartToFinishInstall ${LANG_JAPANESE} "$3 インストールを完了するには、Windows \
    を再起動してください。"
LangString UninstallerNotRegistered ${LANG_JAPANESE} "アンインストーラを登録できませんでした。"
LangString DeletedAtRestart ${LANG_JAPANESE} "${PROGRAM} はまだ使用中です。Windows \
    の再起動時に削除されます"
LangString RestartToFinishRemoval ${LANG_JAPANESE} "${PROGRAM} はまだ別のプログラムで使用中です。\
    削除を完了するには、Windows を再起動してください。"

!insertmacro MUI_LANGUAGE Korean
LangString WelcomeText ${LANG_KOREAN} "이 프로그램은 $(^Name)을(를) 이 컴퓨터의 모든 사용자에게 \
    설치합니다. 로그온할 때마다 보이지 않게 실행되며, Windows가 대기 모드로 전환되거나 세션이 \
    끝나거나 배터리가 부족해지면 QX481 USB 카메라의 드라이버에 알립니다.$\r$\n$\r$\n\
    설치 프로그램은 QX481Mon.exe를 Windows 폴더에 복사하고, 로그온할 때 시작되도록 설정하며, \
    [프로그램 추가/제거]에 추가합니다. 실행 중인 모니터는 종료되고 교체되며, 보통 다시 시작할 \
    필요가 없습니다.$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_KOREAN} "$(^Name)이(가) 설치되었으며, 모든 사용자가 로그온할 때마다 \
    시작됩니다. QX481 USB 카메라가 없는 컴퓨터에서는 즉시 종료되고 더 이상 시작되지 \
    않습니다.$\r$\n$\r$\n\
    설치 프로그램을 마치려면 '마침' 버튼을 눌러 주세요."
LangString FinishRestartText ${LANG_KOREAN} "$3 새 버전은 Windows를 다시 시작할 때 기존 버전을 \
    대체합니다. 그때까지는 현재 버전이 계속 실행됩니다.$\r$\n$\r$\n\
    설치 프로그램을 마치려면 '마침' 버튼을 눌러 주세요."
LangString UninstallConfirmText ${LANG_KOREAN} "이 프로그램은 이 컴퓨터에서 $(^Name)을(를) \
    제거합니다. 실행 중인 모니터를 종료하고, 로그온할 때 모니터가 시작되지 않도록 하며, Windows \
    폴더에서 QX481Mon.exe를 삭제합니다. 카메라와 드라이버는 그대로 유지됩니다."
LangString InstallNeedsAdministrator ${LANG_KOREAN} "$(^Name)을(를) 설치하려면 관리자 권한이 \
    필요합니다. 아무것도 변경되지 않았습니다."
LangString RemovalNeedsAdministrator ${LANG_KOREAN} "$(^Name)을(를) 제거하려면 관리자 권한이 \
    필요합니다. 아무것도 변경되지 않았습니다."
LangString InstalledByPackage ${LANG_KOREAN} "$(^Name)은(는) Windows Installer \
    패키지(QX481Mon.msi)로 설치되었습니다. 먼저 [프로그램 추가/제거]에서 제거하십시오. 아무것도 \
    변경되지 않았습니다."
LangString NewerVersionInstalled ${LANG_KOREAN} "$(^Name)의 더 새로운 버전($3)이 설치되어 \
    있습니다(이 버전: $4). 이 버전으로 되돌리려면 먼저 [프로그램 추가/제거]에서 설치된 버전을 \
    제거하십시오. 아무것도 변경되지 않았습니다."
LangString EndingMonitors ${LANG_KOREAN} "실행 중인 모니터를 종료하는 중"
LangString CopyingProgram ${LANG_KOREAN} "QX481Mon.exe를 $WINDIR에 복사하는 중"
LangString AlreadyInPlace ${LANG_KOREAN} "${PROGRAM}은(는) 이미 이 버전이므로 그대로 둡니다"
LangString ProgramNotReplaced ${LANG_KOREAN} "${PROGRAM}이(가) 사용 중이어서 교체할 수 없습니다."
LangString RemovalWaits ${LANG_KOREAN} "이전에 시작한 ${PROGRAM} 제거가 Windows를 다시 시작하기를 \
    기다리고 있습니다."
LangString ProgramInUse ${LANG_KOREAN} "${PROGRAM}을(를) 다른 프로그램이 사용하고 있습니다."
LangString ReplacedAtRestart ${LANG_KOREAN} "${PROGRAM}은(는) Windows를 다시 시작할 때 교체됩니다"
LangString RestartToFinishInstall ${LANG_KOREAN} "$3 설치를 마치려면 Windows를 다시 시작하십시오."
LangString UninstallerNotRegistered ${LANG_KOREAN} "제거 프로그램을 등록할 수 없습니다."
LangString DeletedAtRestart ${LANG_KOREAN} "${PROGRAM}이(가) 아직 사용 중입니다. Windows를 다시 \
    시작할 때 삭제됩니다"
LangString RestartToFinishRemoval ${LANG_KOREAN} "${PROGRAM}을(를) 아직 다른 프로그램이 사용하고 \
    있습니다. 제거를 마치려면 Windows를 다시 시작하십시오."

!insertmacro MUI_LANGUAGE TradChinese
LangString WelcomeText ${LANG_TRADCHINESE} "本程式會為這部電腦的所有使用者安裝 $(^Name)。\
    它會在每次登入後於背景執行，不顯示任何視窗，並在 Windows 進入待命、\
    工作階段結束或電池電力不足時通知 QX481 USB 攝影機的驅動程式。$\r$\n$\r$\n\
    安裝程式會將 QX481Mon.exe 複製到 Windows 資料夾，讓它在登入時啟動，\
    並將它加入「新增或移除程式」。執行中的監視程式會被結束並取代，通常不需要重新開機。$\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_TRADCHINESE} "$(^Name) 已安裝，會在每位使用者每次登入時啟動。在沒有 \
    QX481 USB 攝影機的電腦上，它會立即結束，之後不再啟動。$\r$\n$\r$\n\
    按 [完成(F)] 關閉安裝程式。"
LangString FinishRestartText ${LANG_TRADCHINESE} "$3 新版本會在 Windows 重新開機時取代它；\
    在那之前，現有版本會繼續執行。$\r$\n$\r$\n\
    按 [完成(F)] 關閉安裝程式。"
LangString UninstallConfirmText ${LANG_TRADCHINESE} "本程式會從這部電腦移除 $(^Name)：\
    結束執行中的監視程式、不再讓它在登入時啟動，並從 Windows 資料夾刪除 QX481Mon.exe。\
    攝影機及其驅動程式維持不變。"
LangString InstallNeedsAdministrator ${LANG_TRADCHINESE} "安裝 $(^Name) 需要系統管理員權限。\
    未進行任何變更。"
LangString RemovalNeedsAdministrator ${LANG_TRADCHINESE} "移除 $(^Name) 需要系統管理員權限。\
    未進行任何變更。"
LangString InstalledByPackage ${LANG_TRADCHINESE} "$(^Name) 是由其 Windows Installer 套件 \
    (QX481Mon.msi) 安裝的。請先在「新增或移除程式」中將它移除。未進行任何變更。"
LangString NewerVersionInstalled ${LANG_TRADCHINESE} "已安裝較新版本的 $(^Name) \
    ($3；此版本為 $4)。若要回到此版本，請先在「新增或移除程式」中移除已安裝的版本。\
    未進行任何變更。"
LangString EndingMonitors ${LANG_TRADCHINESE} "正在結束執行中的監視程式"
LangString CopyingProgram ${LANG_TRADCHINESE} "正在將 QX481Mon.exe 複製到 $WINDIR"
LangString AlreadyInPlace ${LANG_TRADCHINESE} "${PROGRAM} 已是此版本，保持不變"
LangString ProgramNotReplaced ${LANG_TRADCHINESE} "${PROGRAM} 正在使用中，無法取代。"
LangString RemovalWaits ${LANG_TRADCHINESE} "先前對 ${PROGRAM} 的移除正在等待 Windows 重新開機。"
LangString ProgramInUse ${LANG_TRADCHINESE} "${PROGRAM} 正由另一個程式使用。"
LangString ReplacedAtRestart ${LANG_TRADCHINESE} "${PROGRAM} 將在 Windows 重新開機時被取代"
LangString RestartToFinishInstall ${LANG_TRADCHINESE} "$3 請將 Windows 重新開機以完成安裝。"
LangString UninstallerNotRegistered ${LANG_TRADCHINESE} "無法登錄解除安裝程式。"
LangString DeletedAtRestart ${LANG_TRADCHINESE} "${PROGRAM} 仍在使用中：將在 Windows \
    重新開機時刪除"
LangString RestartToFinishRemoval ${LANG_TRADCHINESE} "${PROGRAM} 仍由另一個程式使用。請將 \
    Windows 重新開機以完成移除。"

!insertmacro MUI_LANGUAGE SimpChinese
LangString WelcomeText ${LANG_SIMPCHINESE} "本程序将为这台计算机的所有用户安装 $(^Name)。\
    它在每次登录后于后台运行，不显示任何窗口，并在 Windows 待机、会话结束或电池电量不足时通知 \
    QX481 USB 摄像头的驱动程序。$\r$\n$\r$\n\
    安装程序将 QX481Mon.exe 复制到 Windows 文件夹，使其在登录时启动，\
    并将其添加到“添加或删除程序”中。正在运行的监视程序会被结束并替换，通常无需重新启动。\
    $\r$\n$\r$\n\
    $_CLICK"
LangString FinishText ${LANG_SIMPCHINESE} "$(^Name) 已安装，将在每位用户每次登录时启动。在没有 \
    QX481 USB 摄像头的计算机上，它会立即退出，以后也不再启动。$\r$\n$\r$\n\
    点击 [完成(F)] 关闭安装程序。"
LangString FinishRestartText ${LANG_SIMPCHINESE} "$3 新版本将在 Windows 重新启动时取代它；\
    在此之前，现有版本继续运行。$\r$\n$\r$\n\
    点击 [完成(F)] 关闭安装程序。"
LangString UninstallConfirmText ${LANG_SIMPCHINESE} "本程序将从这台计算机上删除 $(^Name)：\
    结束正在运行的监视程序，不再让它在登录时启动，并从 Windows 文件夹中删除 QX481Mon.exe。\
    摄像头及其驱动程序保持不变。"
LangString InstallNeedsAdministrator ${LANG_SIMPCHINESE} "安装 $(^Name) 需要管理员权限。\
    未做任何更改。"
LangString RemovalNeedsAdministrator ${LANG_SIMPCHINESE} "删除 $(^Name) 需要管理员权限。\
    未做任何更改。"
LangString InstalledByPackage ${LANG_SIMPCHINESE} "$(^Name) 是通过其 Windows Installer 程序包 \
    (QX481Mon.msi) 安装的。请先在“添加或删除程序”中将其删除。未做任何更改。"
LangString NewerVersionInstalled ${LANG_SIMPCHINESE} "已安装较新版本的 $(^Name) \
    ($3；此版本为 $4)。若要回到此版本，请先在“添加或删除程序”中删除已安装的版本。\
    未做任何更改。"
LangString EndingMonitors ${LANG_SIMPCHINESE} "正在结束运行中的监视程序"
LangString CopyingProgram ${LANG_SIMPCHINESE} "正在将 QX481Mon.exe 复制到 $WINDIR"
LangString AlreadyInPlace ${LANG_SIMPCHINESE} "${PROGRAM} 已是此版本，保持不变"
LangString ProgramNotReplaced ${LANG_SIMPCHINESE} "${PROGRAM} 正在使用中，无法替换。"
LangString RemovalWaits ${LANG_SIMPCHINESE} "之前对 ${PROGRAM} 的删除正在等待 Windows 重新启动。"
LangString ProgramInUse ${LANG_SIMPCHINESE} "${PROGRAM} 正被另一个程序使用。"
LangString ReplacedAtRestart ${LANG_SIMPCHINESE} "${PROGRAM} 将在 Windows 重新启动时被替换"
LangString RestartToFinishInstall ${LANG_SIMPCHINESE} "$3 请重新启动 Windows 以完成安装。"
LangString UninstallerNotRegistered ${LANG_SIMPCHINESE} "无法注册卸载程序。"
LangString DeletedAtRestart ${LANG_SIMPCHINESE} "${PROGRAM} 仍在使用中：将在 Windows \
    重新启动时删除"
LangString RestartToFinishRemoval ${LANG_SIMPCHINESE} "${PROGRAM} 仍被另一个程序使用。请重新启动 \
    Windows 以完成删除。"
