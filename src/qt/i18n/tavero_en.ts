<?xml version="1.0" encoding="utf-8"?>
<!-- SPDX-License-Identifier: GPL-3.0-or-later -->
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="de">
<context>
    <name>Tavero</name>
    <message>
        <source>Tavero DDS-Funktionsgenerator
Softwareversion 1.2</source>
        <translation>Tavero DDS function generator
Software version 1.2</translation>
    </message>
    <message>
        <source>Steuerprogramm für Linux</source>
        <translation>Control program for Linux</translation>
    </message>
    <message>
        <source>Direkte digitale Synthese bis 30 MHz</source>
        <translation>Direct digital synthesis up to 30 MHz</translation>
    </message>
    <message>
        <source>Firmwareversion X.XX</source>
        <translation>Firmware version X.XX</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Info über Tavero</source>
        <translation>About Tavero</translation>
    </message>
    <message>
        <source>Anleitung</source>
        <translation>Instructions</translation>
    </message>
    <message>
        <source>Achtung: Der Signalausgang muss mit 50 Ohm belastet werden</source>
        <translation>Caution: the signal output must be loaded with 50 ohms</translation>
    </message>
    <message>
        <source>1. Mit Hilfe des Schiebereglers eine Spannung von 0,2 Vss am Signalausgang einstellen und mit dem Button "0,2 Vss speichern" quittieren.</source>
        <translation>1. Use the slider to set a voltage of 0.2 Vpp at the signal output and confirm it with the button "Store 0.2 Vpp".</translation>
    </message>
    <message>
        <source>2. Anschließend mit dem Schieberegler eine Spannung von 0,8 Vss am Signalausgang einstellen und dies nun mit dem Button "0,8 Vss speichern" bestätigen.</source>
        <translation>2. Then use the slider to set a voltage of 0.8 Vpp at the signal output and confirm it with the button "Store 0.8 Vpp".</translation>
    </message>
    <message>
        <source>3. Jetzt können die Kalibrierdaten an das Tavero gesendet werden.</source>
        <translation>3. Now the calibration data can be sent to the Tavero.</translation>
    </message>
    <message>
        <source>Amplitude</source>
        <translation>Amplitude</translation>
    </message>
    <message>
        <source>0,2 Vss speichern</source>
        <translation>Store 0.2 Vpp</translation>
    </message>
    <message>
        <source>0,8 Vss speichern</source>
        <translation>Store 0.8 Vpp</translation>
    </message>
    <message>
        <source>Kalibrierdaten senden</source>
        <translation>Send calibration data</translation>
    </message>
    <message>
        <source>Schließen</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Amplitude kalibrieren</source>
        <translation>Calibrate amplitude</translation>
    </message>
    <message>
        <source>Einstellungen</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Profil</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>Dauer</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Schleife</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>Hinzufügen</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>Vorgang</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Stopp</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>aktuelle Aufgabe</source>
        <translation>current task</translation>
    </message>
    <message>
        <source>Restdauer</source>
        <translation>time left</translation>
    </message>
    <message>
        <source>aktuelle Einstellung</source>
        <translation>current setting</translation>
    </message>
    <message>
        <source>Aufgaben</source>
        <translation>Tasks</translation>
    </message>
    <message>
        <source>Markierten Eintrag entfernen</source>
        <translation>Remove selected entry</translation>
    </message>
    <message>
        <source>Zurücksetzen</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Laden</source>
        <translation>Load</translation>
    </message>
    <message>
        <source>Speichern</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Aufgabenliste</source>
        <translation>Task list</translation>
    </message>
    <message>
        <source>Frequenz</source>
        <translation>Frequency</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>kHz</source>
        <translation>kHz</translation>
    </message>
    <message>
        <source>mV</source>
        <translation>mV</translation>
    </message>
    <message>
        <source>Amplitude (Peak To Peak)</source>
        <translation>Amplitude (peak to peak)</translation>
    </message>
    <message>
        <source>PC-Verbindung</source>
        <translation>PC connection</translation>
    </message>
    <message>
        <source>PC-Verbindung aktivieren</source>
        <translation>Activate PC connection</translation>
    </message>
    <message>
        <source>PC-Verbindung deaktivieren</source>
        <translation>Deactivate PC connection</translation>
    </message>
    <message>
        <source>Fernsteuerung</source>
        <translation>Remote control</translation>
    </message>
    <message>
        <source>Lokal</source>
        <translation>Local</translation>
    </message>
    <message>
        <source>Nicht übernommen: Enter übernimmt den Wert.</source>
        <translation>Not applied: Enter applies the value.</translation>
    </message>
    <message>
        <source>USB aktiv</source>
        <translation>USB active</translation>
    </message>
    <message>
        <source>Profil laden / speichern</source>
        <translation>Load / save profile</translation>
    </message>
    <message>
        <source>Profilname</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Direkteingabe</source>
        <translation>Direct entry</translation>
    </message>
    <message>
        <source>aktuelle Frequenz</source>
        <translation>current frequency</translation>
    </message>
    <message>
        <source>aktuelle Frequenz (PLL)</source>
        <translation>current frequency (PLL)</translation>
    </message>
    <message>
        <source>Minimalfrequenz</source>
        <translation>Minimum frequency</translation>
    </message>
    <message>
        <source>Maximalfrequenz</source>
        <translation>Maximum frequency</translation>
    </message>
    <message>
        <source>Schrittweite</source>
        <translation>Step size</translation>
    </message>
    <message>
        <source>Betriebsart</source>
        <translation>Operating mode</translation>
    </message>
    <message>
        <source>Standard</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Wobbeln</source>
        <translation>Sweep</translation>
    </message>
    <message>
        <source>Modulation</source>
        <translation>Modulation</translation>
    </message>
    <message>
        <source>Filtereinstellung</source>
        <translation>Filter setting</translation>
    </message>
    <message>
        <source>Filter deaktiviert</source>
        <translation>Filter off</translation>
    </message>
    <message>
        <source>Signalform</source>
        <translation>Waveform</translation>
    </message>
    <message>
        <source>Sinus</source>
        <translation>Sine</translation>
    </message>
    <message>
        <source>Dreieck</source>
        <translation>Triangle</translation>
    </message>
    <message>
        <source>Rechteck</source>
        <translation>Square</translation>
    </message>
    <message>
        <source>Rechteck f/2</source>
        <translation>Square f/2</translation>
    </message>
    <message>
        <source>100 %</source>
        <translation>100 %</translation>
    </message>
    <message>
        <source>80 %</source>
        <translation>80 %</translation>
    </message>
    <message>
        <source>60 %</source>
        <translation>60 %</translation>
    </message>
    <message>
        <source>40 %</source>
        <translation>40 %</translation>
    </message>
    <message>
        <source>20 %</source>
        <translation>20 %</translation>
    </message>
    <message>
        <source>0 %</source>
        <translation>0 %</translation>
    </message>
    <message>
        <source>Erweiterte Einstellungen</source>
        <translation>Advanced settings</translation>
    </message>
    <message>
        <source>PLL-Einstellung</source>
        <translation>PLL setting</translation>
    </message>
    <message>
        <source>Profil laden</source>
        <translation>Load profile</translation>
    </message>
    <message>
        <source>Profil speichern</source>
        <translation>Save profile</translation>
    </message>
    <message>
        <source>Beenden</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Offset</source>
        <translation>Offset</translation>
    </message>
    <message>
        <source>Bootloader starten</source>
        <translation>Start bootloader</translation>
    </message>
    <message>
        <source>Kalibrierung</source>
        <translation>Calibration</translation>
    </message>
    <message>
        <source>Werkszustand wiederherstellen</source>
        <translation>Restore factory settings</translation>
    </message>
    <message>
        <source>Bootloader</source>
        <translation>Bootloader</translation>
    </message>
    <message>
        <source>Info Tavero</source>
        <translation>About Tavero</translation>
    </message>
    <message>
        <source>Datei</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Tavero</source>
        <translation>Tavero</translation>
    </message>
    <message>
        <source>PM</source>
        <translation>PM</translation>
    </message>
    <message>
        <source>PSK</source>
        <translation>PSK</translation>
    </message>
    <message>
        <source>FSK</source>
        <translation>FSK</translation>
    </message>
    <message>
        <source>ASK</source>
        <translation>ASK</translation>
    </message>
    <message>
        <source>AM</source>
        <translation>AM</translation>
    </message>
    <message>
        <source>Quelle</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>intern</source>
        <translation>internal</translation>
    </message>
    <message>
        <source>extern</source>
        <translation>external</translation>
    </message>
    <message>
        <source>Modulationsfrequenz</source>
        <translation>Modulation frequency</translation>
    </message>
    <message>
        <source>Art</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>Phasenhub</source>
        <translation>Phase deviation</translation>
    </message>
    <message>
        <source>°</source>
        <translation>°</translation>
    </message>
    <message>
        <source>Frequenzhub</source>
        <translation>Frequency deviation</translation>
    </message>
    <message>
        <source>Modulationshub</source>
        <translation>Modulation depth</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>Um einen eventuellen Offset zu kompensieren, gehen Sie wie folgt vor:</source>
        <translation>To compensate an offset, proceed as follows:</translation>
    </message>
    <message>
        <source>1. Drücken Sie den Button "minimale Amplitude" und messen Sie mit einem Multimeter die anliegende Gleichspannung am Signalausgang.</source>
        <translation>1. Press the button "Minimum amplitude" and measure the DC voltage at the signal output with a multimeter.</translation>
    </message>
    <message>
        <source>2. Stellen Sie nun mit Hilfe des Trimmers R16 eine Gleichspannung von 0 V ein.</source>
        <translation>2. Now set a DC voltage of 0 V with the trimmer R16.</translation>
    </message>
    <message>
        <source>3. Drücken Sie nun den Button "maximale Amplitude".</source>
        <translation>3. Now press the button "Maximum amplitude".</translation>
    </message>
    <message>
        <source>4. Nun mit dem Trimmer R33 wieder eine Gleichspannung von 0 V einstellen.</source>
        <translation>4. Set a DC voltage of 0 V again, now with the trimmer R33.</translation>
    </message>
    <message>
        <source>minimale Amplitude</source>
        <translation>Minimum amplitude</translation>
    </message>
    <message>
        <source>maximale Amplitude</source>
        <translation>Maximum amplitude</translation>
    </message>
    <message>
        <source>Offset kompensieren</source>
        <translation>Compensate offset</translation>
    </message>
    <message>
        <source>Um eine eventuelle Frequenzabweichung des Oszillators zu kalibrieren, gibt es zwei Methoden.</source>
        <translation>There are two methods to calibrate a frequency deviation of the oscillator.</translation>
    </message>
    <message>
        <source>Methode 1: Messen Sie die Oszillatorfrequenz direkt am Pin 3 von Q2 und geben diese in das dafür vorgesehene Eingabefeld ein.</source>
        <translation>Method 1: Measure the oscillator frequency directly at pin 3 of Q2 and enter it in the field provided.</translation>
    </message>
    <message>
        <source>Methode 2: Stellen Sie im Hauptfenster eine Frequenz von 25 MHz ein. Messen Sie nun die am Signalausgang vorhandene Frequenz und geben diese in das dafür vorgesehene Eingabefeld ein.</source>
        <translation>Method 2: Set a frequency of 25 MHz in the main window. Then measure the frequency at the signal output and enter it in the field provided.</translation>
    </message>
    <message>
        <source>Um den Kalibriervorgang abzuschließen, klicken Sie auf den nun aktivierten Button "Sende Kalibrierdaten"</source>
        <translation>To finish the calibration, click the button "Send calibration data", which is now enabled</translation>
    </message>
    <message>
        <source>Methode 1</source>
        <translation>Method 1</translation>
    </message>
    <message>
        <source>Methode 2</source>
        <translation>Method 2</translation>
    </message>
    <message>
        <source>gemessene Oszillatorfrequenz</source>
        <translation>measured oscillator frequency</translation>
    </message>
    <message>
        <source>gemessene Ausgangsfrequenz</source>
        <translation>measured output frequency</translation>
    </message>
    <message>
        <source>Sende Kalibrierdaten</source>
        <translation>Send calibration data</translation>
    </message>
    <message>
        <source>Frequenz kalibrieren</source>
        <translation>Calibrate frequency</translation>
    </message>
    <message>
        <source>Teilungsfaktor</source>
        <translation>Division factor</translation>
    </message>
    <message>
        <source>PLL</source>
        <translation>PLL</translation>
    </message>
    <message>
        <source>Startfrequenz</source>
        <translation>Start frequency</translation>
    </message>
    <message>
        <source>Stoppfrequenz</source>
        <translation>Stop frequency</translation>
    </message>
    <message>
        <source>Wobbelfrequenz</source>
        <translation>Sweep rate</translation>
    </message>
    <message>
        <source>Übernehmen</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Ja</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Nein</source>
        <translation>No</translation>
    </message>
    <message>
        <source>Abbrechen</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Ungültige Eingabe</source>
        <translation>Invalid input</translation>
    </message>
    <message>
        <source>Eingabefehler</source>
        <translation>Input error</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 0.25 Hz
Minimalfrequenz: %1 Hz
Maximalfrequenz: %2 Hz</source>
        <translation>Please enter a value within the limits
Resolution: 0.25 Hz
Minimum frequency: %1 Hz
Maximum frequency: %2 Hz</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 0.25 Hz
Minimalfrequenz: 0,25 Hz
Maximalfrequenz: %1 Hz</source>
        <translation>Please enter a value within the limits
Resolution: 0.25 Hz
Minimum frequency: 0.25 Hz
Maximum frequency: %1 Hz</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 1 mV
Minimum: 0 mV
Maximum: 1000 mV</source>
        <translation>Please enter a value within the limits
Resolution: 1 mV
Minimum: 0 mV
Maximum: 1000 mV</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 0.25: Hz
Maximalfrequenz: 30000000.00 Hz</source>
        <translation>Please enter a value within the limits
Resolution: 0.25 Hz
Maximum frequency: 30000000.00 Hz</translation>
    </message>
    <message>
        <source>Die derzeitigen PLL-Einstellungen verlangen eine höhere Minimalfrequenz.
Soll diese verwendet werden?</source>
        <translation>The current PLL settings need a higher minimum frequency.
Shall it be used?</translation>
    </message>
    <message>
        <source>Unknown error in function CheckFolder() occurred!</source>
        <translation>Unknown error in function CheckFolder() occurred!</translation>
    </message>
    <message>
        <source>Es sind nicht gespeicherte Änderungen am Profil vorhanden, wollen Sie das Profil speichern?</source>
        <translation>The profile has unsaved changes. Do you want to save the profile?</translation>
    </message>
    <message>
        <source>Datei "Profile.pro" konnte nicht geöffnet werden!</source>
        <translation>File "Profile.pro" could not be opened!</translation>
    </message>
    <message>
        <source>Datei "Profile.pro" konnte nicht gespeichert werden!</source>
        <translation>File "Profile.pro" could not be saved!</translation>
    </message>
    <message>
        <source>Datei "Profile.pro" konnte nicht gespeichert werden!
%1</source>
        <translation>File "Profile.pro" could not be saved!
%1</translation>
    </message>
    <message>
        <source>Es wurde noch keine Datenverbindung zum Tavero augebaut!</source>
        <translation>No data connection to the Tavero has been established yet!</translation>
    </message>
    <message>
        <source>Der Frequenzwert kann nicht angezeigt werden</source>
        <translation>The frequency value cannot be shown</translation>
    </message>
    <message>
        <source>Fehler in der Ausgabe</source>
        <translation>Output error</translation>
    </message>
    <message>
        <source>Ihre momentane Einstellung wird gelöscht und
das Tavero-Board in den Werkszustand zurückgesetzt.

Möchten Sie damit fortsetzen?</source>
        <translation>Your current setting will be deleted and
the Tavero board reset to its factory settings.

Do you want to continue?</translation>
    </message>
    <message>
        <source>Mit Hilfe des Bootloaders können
Firmwareupdates eingespielt werden.

Wurde der Bootloader versehentlich gestartet,
genügt ein trennen des Tavero vom USB-Port,
um ihm wieder normal starten zu lassen.

Möchten Sie den Bootloader des Tavero starten?</source>
        <translation>The bootloader installs
firmware updates.

If the bootloader was started by mistake,
unplugging the Tavero from the USB port
lets it start normally again.

Do you want to start the Tavero's bootloader?</translation>
    </message>
    <message>
        <source>Tavero Bootloader starten</source>
        <translation>Start Tavero bootloader</translation>
    </message>
    <message>
        <source>Firmwareversion %1</source>
        <translation>Firmware version %1</translation>
    </message>
    <message>
        <source>Firmwareversion ??? (keine USB-Verbindung)</source>
        <translation>Firmware version ??? (no USB connection)</translation>
    </message>
    <message>
        <source>Kalibrierfehler</source>
        <translation>Calibration error</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert zwischen 66.109000 MHz und 68.109000 MHz ein!</source>
        <translation>Please enter a value between 66.109000 MHz and 68.109000 MHz!</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert zwischen 24.627473 MHz und 25.372527 MHz ein!</source>
        <translation>Please enter a value between 24.627473 MHz and 25.372527 MHz!</translation>
    </message>
    <message>
        <source>Bitte starten Sie die Software neu!</source>
        <translation>Please restart the software!</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 0.1 Hz
Minimalfrequenz: 1.0 Hz
Maximalfrequenz: 5000.0 Hz</source>
        <translation>Please enter a value within the limits
Resolution: 0.1 Hz
Minimum frequency: 1.0 Hz
Maximum frequency: 5000.0 Hz</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 1°
Minimalphase: 1°
Maximalphase: 359°</source>
        <translation>Please enter a value within the limits
Resolution: 1°
Minimum phase: 1°
Maximum phase: 359°</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 1
Minimalfaktor: 1
Maximalfaktor: 2048</source>
        <translation>Please enter a value within the limits
Resolution: 1
Minimum factor: 1
Maximum factor: 2048</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 0.25 Hz
Minimalphase: -2000000.00 Hz
Maximalphase:  2000000.00 Hz</source>
        <translation>Please enter a value within the limits
Resolution: 0.25 Hz
Minimum offset: -2000000.00 Hz
Maximum offset:  2000000.00 Hz</translation>
    </message>
    <message>
        <source>Für den eingegebenen Offset, ist eine Mininalfrequenz
von größer als 30 MHz notwendig

Erhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.</source>
        <translation>The offset entered needs a minimum frequency
above 30 MHz.

Raise the division factor or lower the offset.</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
Auflösung: 0.1 Hz
Minimalfrequenz: 0.1 Hz
Maximalfrequenz: 20.0 Hz</source>
        <translation>Please enter a value within the limits
Resolution: 0.1 Hz
Minimum frequency: 0.1 Hz
Maximum frequency: 20.0 Hz</translation>
    </message>
    <message>
        <source>Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt
 Wertebereich : 1s - 3600s</source>
        <translation>Please enter a value within the limits
 Range: 1 s - 3600 s</translation>
    </message>
    <message>
        <source>%1, Dauer: %2 s</source>
        <translation>%1, duration: %2 s</translation>
    </message>
    <message>
        <source>Der Profilname enthält Zeichen, die in der Profildatei
nicht gespeichert werden können: %1

Sie werden dort durch "?" ersetzt.

Möchten Sie das Profil trotzdem speichern?</source>
        <translation>The profile name holds characters that the profile file
cannot store: %1

The file holds "?" in their place.

Do you want to store the profile anyway?</translation>
    </message>
    <message>
        <source>Für den eingegebenen Offset ist eine Minimalfrequenz
oberhalb der Maximalfrequenz von %1 Hz notwendig

Erhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.</source>
        <translation>The offset entered needs a minimum frequency
above the maximum frequency of %1 Hz.

Raise the division factor or lower the offset.</translation>
    </message>
    <message>
        <source>Die Datenverbindung zum Tavero ist abgebrochen.

Schließen Sie das Tavero wieder an und aktivieren Sie die PC-Verbindung erneut.</source>
        <translation>The data connection to the Tavero was lost.

Plug the Tavero in again and activate the PC connection once more.</translation>
    </message>
    <message>
        <source>Tavero Profildateien (.tvr)|*.tvr|Alle Dateien (*.*)|*.*|</source>
        <translation>Tavero profile files (.tvr)|*.tvr|All files (*.*)|*.*|</translation>
    </message>
    <message>
        <source>Zieldatei kann nicht erzeugt werden!
Überprüfen Sie die Schreibrechte.</source>
        <translation>The target file cannot be created!
Check the write permissions.</translation>
    </message>
    <message>
        <source>Zieldatei kann nicht erzeugt werden!
Überprüfen Sie die Schreibrechte.

%1</source>
        <translation>The target file cannot be created!
Check the write permissions.

%1</translation>
    </message>
    <message>
        <source>Fehler beim Schreiben</source>
        <translation>Write error</translation>
    </message>
    <message>
        <source>Die Aufgabenliste könnte nicht gelesen werden.</source>
        <translation>The task list could not be read.</translation>
    </message>
    <message>
        <source>Fehler beim Lesen</source>
        <translation>Read error</translation>
    </message>
    <message>
        <source>Speichern unter</source>
        <translation>Save as</translation>
    </message>
    <message>
        <source>Aufgabenliste laden</source>
        <translation>Load task list</translation>
    </message>
    <message>
        <source>Es konnte keine Datenverbindung zum Tavero aufgebaut werden.

Bitte prüfen Sie:
- Ist das Tavero angeschlossen? (ls -l /dev/serial/by-id/)
- Darf Ihr Benutzer es öffnen? (udev-Regel; über SSH: Gruppe dialout)
- Belegt ModemManager es? (sudo systemctl stop ModemManager)
- Verwendet ein anderes Programm es? (fuser -v /dev/ttyUSB0)</source>
        <translation>No data connection to the Tavero could be established.

Please check:
- Is the Tavero plugged in? (ls -l /dev/serial/by-id/)
- May your user open it? (udev rule; over SSH: group dialout)
- Does ModemManager hold it? (sudo systemctl stop ModemManager)
- Does another program use it? (fuser -v /dev/ttyUSB0)</translation>
    </message>
    <message>
        <source>Es konnte keine Datenverbindung zum Tavero aufgebaut werden.

Vergewissern Sie sich, dass das Tavero angeschlossen ist,
die Treiber installiert sind und dass keine andere Tavero Anwendung 
das Gerät bereits verwendet.</source>
        <translation>No data connection to the Tavero could be established.

Make sure that the Tavero is plugged in,
the drivers are installed and that no other Tavero program 
is using the device already.</translation>
    </message>
    <message>
        <source>Verbindungsfehler</source>
        <translation>Connection error</translation>
    </message>
    <message>
        <source>Datenverbindung konnte nicht geschlossen werden.</source>
        <translation>The data connection could not be closed.</translation>
    </message>
    <message>
        <source>Übertragungsfehler</source>
        <translation>Transmission error</translation>
    </message>
    <message>
        <source>Kein Fehler.</source>
        <translation>No error.</translation>
    </message>
    <message>
        <source>SetCom wurde nicht aufgerufen.</source>
        <translation>SetCom was not called.</translation>
    </message>
    <message>
        <source>Verbindung nicht hergestellt.</source>
        <translation>Not connected.</translation>
    </message>
    <message>
        <source>Keine Daten empfangen.</source>
        <translation>No data received.</translation>
    </message>
    <message>
        <source>Datenlänge zu groß.</source>
        <translation>Data too long.</translation>
    </message>
    <message>
        <source>Datenpuffer zu klein.</source>
        <translation>Data buffer too small.</translation>
    </message>
    <message>
        <source>Checksumme falsch.</source>
        <translation>Wrong checksum.</translation>
    </message>
    <message>
        <source>Fehler bei der Übertragung.</source>
        <translation>Transmission failed.</translation>
    </message>
    <message>
        <source>Unbekannter Fehler</source>
        <translation>Unknown error</translation>
    </message>
    <message>
        <source>Fehler beim senden</source>
        <translation>Error while sending</translation>
    </message>
    <message>
        <source>Fehler beim lesen</source>
        <translation>Error while reading</translation>
    </message>
    <message>
        <source>Antwort passt nicht auf gesendeten Befehl</source>
        <translation>Reply does not match the command sent</translation>
    </message>
    <message>
        <source>Antwort nicht OK</source>
        <translation>Reply not OK</translation>
    </message>
    <message>
        <source>Fehler beim senden (Parameter)</source>
        <translation>Error while sending (parameters)</translation>
    </message>
    <message>
        <source>Fehler beim lesen (Parameter)</source>
        <translation>Error while reading (parameters)</translation>
    </message>
    <message>
        <source>Antwort passt nicht auf gesendeten Befehl (Parameter)</source>
        <translation>Reply does not match the command sent (parameters)</translation>
    </message>
    <message>
        <source>Fehler beim senden (Reset)</source>
        <translation>Error while sending (reset)</translation>
    </message>
    <message>
        <source>Fehler beim lesen (Reset)</source>
        <translation>Error while reading (reset)</translation>
    </message>
    <message>
        <source>Antwort passt nicht auf gesendeten Befehl (Reset)</source>
        <translation>Reply does not match the command sent (reset)</translation>
    </message>
    <message>
        <source>Antwort nicht OK (Reset)</source>
        <translation>Reply not OK (reset)</translation>
    </message>
    <message>
        <source>Fehler beim senden (Bootloader starten)</source>
        <translation>Error while sending (start bootloader)</translation>
    </message>
    <message>
        <source>Tavero Frontplatte</source>
        <translation>Tavero front panel</translation>
    </message>
    <message>
        <source>Frequenz (Hz)</source>
        <translation>Frequency (Hz)</translation>
    </message>
    <message>
        <source>Amplitude (mV)</source>
        <translation>Amplitude (mV)</translation>
    </message>
    <message>
        <source>Filter aktiviert</source>
        <translation>Filter on</translation>
    </message>
    <message>
        <source>verbunden</source>
        <translation>connected</translation>
    </message>
    <message>
        <source>nicht verbunden</source>
        <translation>not connected</translation>
    </message>
    <message>
        <source>Keine Verbindung zum Server, neuer Versuch läuft</source>
        <translation>No connection to the server, trying again</translation>
    </message>
    <message>
        <source>Gerät</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>Firmwareversion</source>
        <translation>Firmware version</translation>
    </message>
    <message>
        <source>Adressen</source>
        <translation>Addresses</translation>
    </message>
    <message>
        <source>%1 (Prozess %2) verwendet den Tavero bereits.

Soll das Fenster von %1 nach vorne geholt werden?</source>
        <translation>%1 (process %2) is already using the Tavero.

Bring the window of %1 to the front?</translation>
    </message>
    <message>
        <source>%1 (Prozess %2) verwendet den Tavero bereits.

Beenden Sie %1, um den Tavero hier zu verbinden.</source>
        <translation>%1 (process %2) is already using the Tavero.

End %1 to connect the Tavero here.</translation>
    </message>
    <message>
        <source>Messen</source>
        <translation>Measure</translation>
    </message>
    <message>
        <source>Frequenzgang…</source>
        <translation>Frequency response…</translation>
    </message>
    <message>
        <source>Bitte geben Sie die Adresse des Oszilloskops ein, z. B. TCPIP::192.168.1.30::INSTR.</source>
        <translation>Please enter the oscilloscope's address, e.g. TCPIP::192.168.1.30::INSTR.</translation>
    </message>
    <message>
        <source>Die Adresse hat keine der Formen TCPIP::HOST::INSTR, TCPIP::HOST::PORT::SOCKET und /dev/usbtmcN.</source>
        <translation>The address has none of the forms TCPIP::HOST::INSTR, TCPIP::HOST::PORT::SOCKET and /dev/usbtmcN.</translation>
    </message>
    <message>
        <source>Die Startfrequenz muss unter der Stoppfrequenz liegen, beide zwischen 0,25 Hz und 30 MHz.</source>
        <translation>The start frequency must lie below the stop frequency, both between 0.25 Hz and 30 MHz.</translation>
    </message>
    <message>
        <source>Eingang und Ausgang der Schaltung müssen an verschiedenen Kanälen liegen.</source>
        <translation>The circuit's input and output must be on different channels.</translation>
    </message>
    <message>
        <source>übersteuert</source>
        <translation>clipped</translation>
    </message>
    <message>
        <source>unter der Auflösung</source>
        <translation>below the resolution</translation>
    </message>
    <message>
        <source>keine gültige Messung</source>
        <translation>no valid measurement</translation>
    </message>
    <message>
        <source>zu wenige Abtastwerte je Periode</source>
        <translation>too few samples per period</translation>
    </message>
    <message>
        <source>keine Antwort des Oszilloskops</source>
        <translation>no answer from the oscilloscope</translation>
    </message>
    <message>
        <source>Frequenzgang</source>
        <translation>Frequency response</translation>
    </message>
    <message>
        <source>Oszilloskop</source>
        <translation>Oscilloscope</translation>
    </message>
    <message>
        <source>Adresse</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Suchen</source>
        <translation>Search</translation>
    </message>
    <message>
        <source>Suche Oszilloskope im Netz …</source>
        <translation>Searching the network for oscilloscopes …</translation>
    </message>
    <message>
        <source>Kein Oszilloskop gefunden.</source>
        <translation>No oscilloscope found.</translation>
    </message>
    <message>
        <source>%1 Oszilloskop(e) gefunden.</source>
        <translation>%1 oscilloscope(s) found.</translation>
    </message>
    <message>
        <source>Kanal am Eingang</source>
        <translation>Channel at the input</translation>
    </message>
    <message>
        <source>Kanal am Ausgang</source>
        <translation>Channel at the output</translation>
    </message>
    <message>
        <source>Messbereich</source>
        <translation>Sweep</translation>
    </message>
    <message>
        <source>Punkte je Dekade</source>
        <translation>Points per decade</translation>
    </message>
    <message>
        <source>Punkte, linear verteilt</source>
        <translation>Points, evenly spaced</translation>
    </message>
    <message>
        <source>Einschwingzeit</source>
        <translation>Settling time</translation>
    </message>
    <message>
        <source>Verfahren</source>
        <translation>Method</translation>
    </message>
    <message>
        <source>Kurven lesen (DFT)</source>
        <translation>Read the traces (DFT)</translation>
    </message>
    <message>
        <source>Messungen des Oszilloskops</source>
        <translation>The oscilloscope's measurements</translation>
    </message>
    <message>
        <source>CSV speichern …</source>
        <translation>Save CSV …</translation>
    </message>
    <message>
        <source>PNG speichern …</source>
        <translation>Save PNG …</translation>
    </message>
    <message>
        <source>SVG speichern …</source>
        <translation>Save SVG …</translation>
    </message>
    <message>
        <source>Betrag (dB)</source>
        <translation>Magnitude (dB)</translation>
    </message>
    <message>
        <source>Phase (°)</source>
        <translation>Phase (°)</translation>
    </message>
    <message>
        <source>Betrag</source>
        <translation>Magnitude</translation>
    </message>
    <message>
        <source>Phase</source>
        <translation>Phase</translation>
    </message>
    <message>
        <source>Verbinde mit %1 …</source>
        <translation>Connecting to %1 …</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Punkt %1 von %2: %3 Hz</source>
        <translation>Point %1 of %2: %3 Hz</translation>
    </message>
    <message>
        <source>Punkt %1 von %2: %3 Hz, %4</source>
        <translation>Point %1 of %2: %3 Hz, %4</translation>
    </message>
    <message>
        <source>Fertig: %1 Punkte, davon %2 ohne Wert.</source>
        <translation>Done: %1 points, %2 of them without a value.</translation>
    </message>
    <message>
        <source>Abgebrochen nach %1 von %2 Punkten.</source>
        <translation>Cancelled after %1 of %2 points.</translation>
    </message>
    <message>
        <source>Der Generator hat einen Befehl nicht ausgeführt; %1 von %2 Punkten gemessen.</source>
        <translation>The generator did not carry out a command; %1 of %2 points measured.</translation>
    </message>
    <message>
        <source>Das Oszilloskop antwortet nicht mehr (%1); %2 von %3 Punkten gemessen.</source>
        <translation>The oscilloscope no longer answers (%1); %2 of %3 points measured.</translation>
    </message>
    <message>
        <source>Das Oszilloskop unter %1 ist nicht erreichbar: %2</source>
        <translation>The oscilloscope at %1 cannot be reached: %2</translation>
    </message>
    <message>
        <source>Dieses Oszilloskop hat keine Messungen, die das Programm nutzen kann. Bitte lesen Sie die Kurven.</source>
        <translation>This oscilloscope has no measurements the program can use. Please read the traces.</translation>
    </message>
    <message>
        <source>−3 dB bei %1 Hz, Phase %2°</source>
        <translation>−3 dB at %1 Hz, phase %2°</translation>
    </message>
    <message>
        <source>Mitte des Bandes %1 Hz</source>
        <translation>Band centre %1 Hz</translation>
    </message>
    <message>
        <source>%1 Hz: %2 dB, %3°</source>
        <translation>%1 Hz: %2 dB, %3°</translation>
    </message>
    <message>
        <source>Die Datei konnte nicht gespeichert werden:
%1</source>
        <translation>The file could not be saved:
%1</translation>
    </message>
    <message>
        <source>Fernsteuerung…</source>
        <translation>Remote control…</translation>
    </message>
    <message>
        <source>SCPI über TCP-Socket, Port</source>
        <translation>SCPI over a TCP socket, port</translation>
    </message>
    <message>
        <source>VXI-11 (VISA, LXI, Bode-Plot von Siglent-Oszilloskopen)</source>
        <translation>VXI-11 (VISA, LXI, Siglent oscilloscopes' Bode plot)</translation>
    </message>
    <message>
        <source>Frontplatte im Browser (HTTP), Port</source>
        <translation>Front panel in the browser (HTTP), port</translation>
    </message>
    <message>
        <source>127.0.0.1: nur dieser Rechner; 0.0.0.0: jedes Netz, an dem er hängt</source>
        <translation>127.0.0.1: this computer only; 0.0.0.0: every network it is on</translation>
    </message>
    <message>
        <source>Nur Programme auf diesem Rechner erreichen die Dienste.</source>
        <translation>Only programs on this computer reach the services.</translation>
    </message>
    <message>
        <source>Warnung: %1 öffnet den Generator ohne Passwort für das Netz: %2. Wer sie erreicht, kann ihn steuern.</source>
        <translation>Warning: %1 opens the generator to the network, with no password: %2; anyone who reaches them can drive it.</translation>
    </message>
    <message>
        <source>SCPI auf Port %1</source>
        <translation>raw SCPI on port %1</translation>
    </message>
    <message>
        <source>VXI-11 mit dem Portmapper auf Port 111</source>
        <translation>VXI-11 and the port mapper on port 111</translation>
    </message>
    <message>
        <source>die Frontplatte auf Port %1</source>
        <translation>the front panel on port %1</translation>
    </message>
    <message>
        <source>Bitte geben Sie eine IP-Adresse ein, z. B. 127.0.0.1 oder 0.0.0.0.</source>
        <translation>Please enter an IP address, e.g. 127.0.0.1 or 0.0.0.0.</translation>
    </message>
    <message>
        <source>Die Fernsteuerung konnte nicht gestartet werden:

%1</source>
        <translation>Remote control could not be started:

%1</translation>
    </message>
    <message>
        <source>Die Einstellungen der Fernsteuerung konnten nicht gespeichert werden.</source>
        <translation>The remote control settings could not be saved.</translation>
    </message>
    <message>
        <source>Um die Schrittweite erhöhen</source>
        <translation>Raise by the step</translation>
    </message>
    <message>
        <source>Um die Schrittweite verringern</source>
        <translation>Lower by the step</translation>
    </message>
    <message>
        <source>Gewählte Stelle erhöhen</source>
        <translation>Raise the chosen digit</translation>
    </message>
    <message>
        <source>Gewählte Stelle verringern</source>
        <translation>Lower the chosen digit</translation>
    </message>
    <message>
        <source>Stelle wählen; Pfeiltasten, Mausrad oder Wischen ändern sie</source>
        <translation>Choose a digit; the arrow keys, the wheel or a swipe change it</translation>
    </message>
    <message>
        <source>Gespeicherte Aufgabenliste</source>
        <translation>Stored task list</translation>
    </message>
    <message>
        <source>Aufgabenliste hochladen (.tvr)</source>
        <translation>Upload a task list (.tvr)</translation>
    </message>
    <message>
        <source>unbekannt</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Aufgabenliste beendet</source>
        <translation>Task list finished</translation>
    </message>
    <message>
        <source>Profil %1 geladen</source>
        <translation>Profile %1 loaded</translation>
    </message>
    <message>
        <source>Profil %1 gespeichert</source>
        <translation>Profile %1 stored</translation>
    </message>
    <message>
        <source>-- leeres Profil --</source>
        <translation>-- empty profile --</translation>
    </message>
</context>
</TS>
