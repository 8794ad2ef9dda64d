<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>Accessible</name>
    <message>
        <source>Edit theater information</source>
        <translation>Kinodaten bearbeiten</translation>
    </message>
    <message>
        <source>Connecting progress</source>
        <translation>Fortschritt der Verbindung</translation>
    </message>
    <message>
        <source>Update every</source>
        <translation>Aktualisieren alle</translation>
    </message>
    <message>
        <source>Fader level</source>
        <translation>Faderstellung</translation>
    </message>
    <message>
        <source>Fader</source>
        <translation>Fader</translation>
    </message>
    <message>
        <source>Master fader level</source>
        <translation>Stellung des Hauptfaders</translation>
    </message>
    <message>
        <source>Master fader</source>
        <translation>Hauptfader</translation>
    </message>
    <message>
        <source>Differences</source>
        <translation>Unterschiede</translation>
    </message>
    <message>
        <source>Each setting that differs: the editor&apos;s value and the unit&apos;s</source>
        <translation>Jede abweichende Einstellung: der Wert im Editor und der im Gerät</translation>
    </message>
    <message>
        <source>As-found configurations</source>
        <translation>Vorgefundene Konfigurationen</translation>
    </message>
    <message>
        <source>By theater, screen and date, newest first</source>
        <translation>Nach Kino, Saal und Datum, die neueste zuerst</translation>
    </message>
    <message>
        <source>Unit history</source>
        <translation>Geräteverlauf</translation>
    </message>
    <message>
        <source>What the unit received and why, newest first</source>
        <translation>Was das Gerät erhielt und warum, das Neueste zuerst</translation>
    </message>
    <message>
        <source>Gain and slit loss picture</source>
        <translation>Bild von Pegel und Spaltverlust</translation>
    </message>
    <message>
        <source>Each track&apos;s gain, or each band&apos;s slit loss, against its reference line; the numbers are in the readout beside it</source>
        <translation>Der Pegel jeder Spur oder der Spaltverlust jedes Bandes gegen seine Bezugslinie; die Zahlen stehen in der Anzeige daneben</translation>
    </message>
    <message>
        <source>Azimuth picture</source>
        <translation>Azimutbild</translation>
    </message>
    <message>
        <source>The two tracks plotted against each other: a diagonal line when the reader is aligned; the correlation is in the readout beside it</source>
        <translation>Die beiden Spuren gegeneinander aufgetragen: eine diagonale Linie, wenn der Abtaster justiert ist; die Korrelation steht in der Anzeige daneben</translation>
    </message>
    <message>
        <source>Measurement readout</source>
        <translation>Messwertanzeige</translation>
    </message>
    <message>
        <source>The numbers of the measurement shown in the picture</source>
        <translation>Die Zahlen der im Bild gezeigten Messung</translation>
    </message>
    <message>
        <source>Units of the site</source>
        <translation>Geräte des Standorts</translation>
    </message>
    <message>
        <source>One row per unit: its screen, port, state, versions and whether it matches its baseline</source>
        <translation>Eine Zeile je Gerät: Saal, Anschluss, Zustand, Versionen und ob es seiner Referenz entspricht</translation>
    </message>
    <message>
        <source>Automatic refresh</source>
        <translation>Automatische Aktualisierung</translation>
    </message>
    <message>
        <source>%1 trim</source>
        <translation>Pegel %1</translation>
    </message>
    <message>
        <source>Reset trims</source>
        <translation>Pegel zurücksetzen</translation>
    </message>
    <message>
        <source>Sets the six trims to 0.0 dB</source>
        <translation>Setzt die sechs Pegel auf 0.0 dB</translation>
    </message>
    <message>
        <source>%1 pink noise</source>
        <translation>Rosa Rauschen %1</translation>
    </message>
    <message>
        <source>%1 phase</source>
        <translation>Phase %1</translation>
    </message>
    <message>
        <source>Connection status</source>
        <translation>Verbindungsstatus</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
    <message>
        <source>Copies the shown channel&apos;s equaliser</source>
        <translation>Kopiert den Entzerrer des gezeigten Kanals</translation>
    </message>
    <message>
        <source>Sets the shown channel&apos;s equaliser flat</source>
        <translation>Setzt den Entzerrer des gezeigten Kanals linear</translation>
    </message>
    <message>
        <source>Gives the shown channel the copied equaliser</source>
        <translation>Gibt dem gezeigten Kanal den kopierten Entzerrer</translation>
    </message>
    <message>
        <source>Equaliser pink noise</source>
        <translation>Rosa Rauschen des Entzerrers</translation>
    </message>
    <message>
        <source>Sub bass gain</source>
        <translation>Subbass-Pegel</translation>
    </message>
</context>
<context>
    <name>AsFound</name>
    <message>
        <source>The as-found archive holds at most %1 files: removed the oldest, %2.</source>
        <translation>Das Archiv der vorgefundenen Konfigurationen hält höchstens %1 Dateien: die älteste, %2, wurde entfernt.</translation>
    </message>
    <message>
        <source>cannot make the folder %1: %2</source>
        <translation>der Ordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>cannot write in %1: %2</source>
        <translation>in %1 kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>99 files of that name and second are already there</source>
        <translation>99 Dateien dieses Namens und dieser Sekunde gibt es schon</translation>
    </message>
    <message>
        <source>cannot write %1: %2</source>
        <translation>%1 kann nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>Captions</name>
    <message>
        <source>Stream Lock</source>
        <translation>Datenstrom steht</translation>
    </message>
    <message>
        <source>No Stream</source>
        <translation>Kein Datenstrom</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Theater Information</source>
        <translation>Kinodaten</translation>
    </message>
    <message>
        <source>Time and date of the last upload (%1)</source>
        <translation>Uhrzeit und Datum der letzten Übertragung (%1)</translation>
    </message>
    <message>
        <source>last upload: %1</source>
        <translation>letzte Übertragung: %1</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Speichern unter</translation>
    </message>
    <message>
        <source>He&amp;lp</source>
        <translation>Hil&amp;fe</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>The language could not be kept: the editor&apos;s settings file cannot be written.</source>
        <translation>Die Sprache konnte nicht gespeichert werden: die Einstellungsdatei des Editors kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The editor will use this language from its next start.</source>
        <translation>Der Editor verwendet diese Sprache ab seinem nächsten Start.</translation>
    </message>
    <message>
        <source>System Language</source>
        <translation>Sprache des Systems</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Optio&amp;ns</source>
        <translation>Optio&amp;nen</translation>
    </message>
    <message>
        <source>Upload Options</source>
        <translation>Übertragungsoptionen</translation>
    </message>
    <message>
        <source>h:mm AM/PM dd/mm/yy</source>
        <translation>h:mm AM/PM tt/mm/jj</translation>
    </message>
    <message>
        <source>25 Hz</source>
        <translation>25 Hz</translation>
    </message>
    <message>
        <source>31.5 Hz</source>
        <translation>31.5 Hz</translation>
    </message>
    <message>
        <source>40 Hz</source>
        <translation>40 Hz</translation>
    </message>
    <message>
        <source>50 Hz</source>
        <translation>50 Hz</translation>
    </message>
    <message>
        <source>63 Hz</source>
        <translation>63 Hz</translation>
    </message>
    <message>
        <source>80 Hz</source>
        <translation>80 Hz</translation>
    </message>
    <message>
        <source>100 Hz</source>
        <translation>100 Hz</translation>
    </message>
    <message>
        <source>1/3 octave</source>
        <translation>1/3 Oktave</translation>
    </message>
    <message>
        <source>2/3 octave</source>
        <translation>2/3 Oktave</translation>
    </message>
    <message>
        <source>1 octave</source>
        <translation>1 Oktave</translation>
    </message>
    <message>
        <source>EXTERNAL 6-TRK</source>
        <translation>EXTERNAL 6-TRK</translation>
    </message>
    <message>
        <source>NON-SYNC</source>
        <translation>NON-SYNC</translation>
    </message>
    <message>
        <source>SR TYPE</source>
        <translation>SR TYPE</translation>
    </message>
    <message>
        <source>A TYPE</source>
        <translation>A TYPE</translation>
    </message>
    <message>
        <source>F1 (&apos;Mono&apos; button on unit)</source>
        <translation>F1 (Taste &apos;Mono&apos; am Gerät)</translation>
    </message>
    <message>
        <source>Optical Mono</source>
        <translation>Lichtton Mono</translation>
    </message>
    <message>
        <source>External N.R.</source>
        <translation>Externe Rauschunterdrückung</translation>
    </message>
    <message>
        <source>External 2-Trk Return W/ Internal A Type N.R.</source>
        <translation>Externe 2-Spur-Rückführung mit interner A-Type-RU</translation>
    </message>
    <message>
        <source>External 2-Trk Return W/ Internal SR Type N.R.</source>
        <translation>Externe 2-Spur-Rückführung mit interner SR-Type-RU</translation>
    </message>
    <message>
        <source>Mono</source>
        <translation>Mono</translation>
    </message>
    <message>
        <source>A-TYPE</source>
        <translation>A-TYPE</translation>
    </message>
    <message>
        <source>SR-TYPE</source>
        <translation>SR-TYPE</translation>
    </message>
    <message>
        <source>ZELK Digital</source>
        <translation>ZELK Digital</translation>
    </message>
    <message>
        <source>NONSYNC</source>
        <translation>NONSYNC</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Links</translation>
    </message>
    <message>
        <source>LS</source>
        <translation>LS</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Mitte</translation>
    </message>
    <message>
        <source>RS</source>
        <translation>RS</translation>
    </message>
    <message>
        <source>Right</source>
        <translation>Rechts</translation>
    </message>
    <message>
        <source>Subwoofer</source>
        <translation>Sub</translation>
    </message>
    <message>
        <source>%1 TC Frames</source>
        <translation>%1 TC-Frames</translation>
    </message>
    <message>
        <source>%1 mS</source>
        <translation>%1 ms</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>Screen Channels</source>
        <translation>Bühnenkanäle</translation>
    </message>
    <message>
        <source>Surround Channels</source>
        <translation>Surroundkanäle</translation>
    </message>
    <message>
        <source>Screen And Surround Channels</source>
        <translation>Bühnen- und Surroundkanäle</translation>
    </message>
    <message>
        <source>Matrix Decoded</source>
        <translation>Matrix-decodiert</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>Circuit:</source>
        <translation>Kette:</translation>
    </message>
    <message>
        <source>Theater Name:</source>
        <translation>Kinoname:</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Adresse:</translation>
    </message>
    <message>
        <source>City:</source>
        <translation>Ort:</translation>
    </message>
    <message>
        <source>Zip Code:</source>
        <translation>PLZ:</translation>
    </message>
    <message>
        <source>State / County:</source>
        <translation>Land / Kreis:</translation>
    </message>
    <message>
        <source>Phone:</source>
        <translation>Telefon:</translation>
    </message>
    <message>
        <source>S/N of Processor:</source>
        <translation>S/N des Prozessors:</translation>
    </message>
    <message>
        <source>Screen Number:</source>
        <translation>Saalnummer:</translation>
    </message>
    <message>
        <source>Date Installed:</source>
        <translation>Installiert am:</translation>
    </message>
    <message>
        <source>Notes:</source>
        <translation>Notizen:</translation>
    </message>
    <message>
        <source>Sub</source>
        <translation>Sub</translation>
    </message>
    <message>
        <source>Master Fader</source>
        <translation>Hauptfader</translation>
    </message>
    <message>
        <source> Fader</source>
        <translation> Fader</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>Set Fader = 7.0</source>
        <translation>Fader = 7.0</translation>
    </message>
    <message>
        <source>Adjust Fader</source>
        <translation>Fader einstellen</translation>
    </message>
    <message>
        <source>Format &amp;Selection</source>
        <translation>Format&amp;wahl</translation>
    </message>
    <message>
        <source>&amp;Output Trim</source>
        <translation>&amp;Ausgangspegel</translation>
    </message>
    <message>
        <source>&amp;E.Q</source>
        <translation>&amp;E.Q</translation>
    </message>
    <message>
        <source>O&amp;BE</source>
        <translation>O&amp;BE</translation>
    </message>
    <message>
        <source>O&amp;ptical Setup</source>
        <translation>&amp;Lichtton</translation>
    </message>
    <message>
        <source>Op&amp;tions</source>
        <translation>Op&amp;tionen</translation>
    </message>
    <message>
        <source>Theater &amp;Information</source>
        <translation>&amp;Kinodaten</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Verbinden</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>Trennen</translation>
    </message>
    <message>
        <source>Off Line</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>New</source>
        <translation>Neu</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Save As ...</source>
        <translation>Speichern unter ...</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Automatically Upload</source>
        <translation>Automatisch übertragen</translation>
    </message>
    <message>
        <source>Confirm Message Box</source>
        <translation>Bestätigung abfragen</translation>
    </message>
    <message>
        <source>Enable Shortcuts</source>
        <translation>Tastenkürzel aktivieren</translation>
    </message>
    <message>
        <source>Automatic Update</source>
        <translation>Automatische Aktualisierung</translation>
    </message>
    <message>
        <source>Set Theater Information</source>
        <translation>Kinodaten eingeben</translation>
    </message>
    <message>
        <source>Use System Date/Time</source>
        <translation>Datum/Uhrzeit des Systems verwenden</translation>
    </message>
    <message>
        <source>COM Port Selection</source>
        <translation>COM-Anschluss</translation>
    </message>
    <message>
        <source>Baud Rate</source>
        <translation>Baudrate</translation>
    </message>
    <message>
        <source>COM %1</source>
        <translation>COM %1</translation>
    </message>
    <message>
        <source>Compare with Unit...</source>
        <translation>Mit Gerät vergleichen...</translation>
    </message>
    <message>
        <source>Open As-Found...</source>
        <translation>Vorgefundene öffnen...</translation>
    </message>
    <message>
        <source>Site Overview...</source>
        <translation>Standortübersicht...</translation>
    </message>
    <message>
        <source>Export Service Report...</source>
        <translation>Servicebericht exportieren...</translation>
    </message>
    <message>
        <source>Show differences before upload</source>
        <translation>Unterschiede vor der Übertragung zeigen</translation>
    </message>
    <message>
        <source>Apply to the Unit...</source>
        <translation>Auf das Gerät anwenden...</translation>
    </message>
    <message>
        <source>Unit History...</source>
        <translation>Geräteverlauf...</translation>
    </message>
    <message>
        <source>Ask for a reason before each upload</source>
        <translation>Vor jeder Übertragung nach dem Grund fragen</translation>
    </message>
    <message>
        <source>Save Support Bundle...</source>
        <translation>Supportpaket speichern...</translation>
    </message>
    <message>
        <source>Mode:</source>
        <translation>Modus:</translation>
    </message>
    <message>
        <source>Processor Unit Information</source>
        <translation>Angaben zum Prozessor</translation>
    </message>
    <message>
        <source>ZELK</source>
        <translation>ZELK</translation>
    </message>
    <message>
        <source>Cinema Processor and EQ Software</source>
        <translation>Cinema Processor and EQ Software</translation>
    </message>
    <message>
        <source>00:00:00 PM</source>
        <translation>00:00:00 PM</translation>
    </message>
    <message>
        <source>Upload Settings</source>
        <translation>Einstellungen übertragen</translation>
    </message>
    <message>
        <source>Trim Level</source>
        <translation>Pegel</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>In Phase</source>
        <translation>Gleichphasig</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Zurücksetzen</translation>
    </message>
    <message>
        <source>Pink noise</source>
        <translation>Rosa Rauschen</translation>
    </message>
    <message>
        <source>Pink Noise:</source>
        <translation>Rauschen:</translation>
    </message>
    <message>
        <source>Phase:</source>
        <translation>Phase:</translation>
    </message>
    <message>
        <source>RT-60 Mode</source>
        <translation>RT-60-Modus</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Kanal</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Pink Noise Off</source>
        <translation>Rosa Rauschen aus</translation>
    </message>
    <message>
        <source>Left Channel</source>
        <translation>Linker Kanal</translation>
    </message>
    <message>
        <source>Left Surround Channel</source>
        <translation>Linker Surroundkanal</translation>
    </message>
    <message>
        <source>Sub Bass Parametric Equalizer</source>
        <translation>Parametrischer Subbass-Entzerrer</translation>
    </message>
    <message>
        <source>Gain:</source>
        <translation>Pegel:</translation>
    </message>
    <message>
        <source>Bandwidth</source>
        <translation>Bandbreite</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Frequenz</translation>
    </message>
    <message>
        <source>Bass / Treble</source>
        <translation>Bass / Höhen</translation>
    </message>
    <message>
        <source>Bass:</source>
        <translation>Bass:</translation>
    </message>
    <message>
        <source>Treble:</source>
        <translation>Höhen:</translation>
    </message>
    <message>
        <source>OBE</source>
        <translation>OBE</translation>
    </message>
    <message>
        <source>OBE Disable</source>
        <translation>OBE aus</translation>
    </message>
    <message>
        <source>OBE Filter</source>
        <translation>OBE-Filter</translation>
    </message>
    <message>
        <source>OBE Gain:</source>
        <translation>OBE-Pegel:</translation>
    </message>
    <message>
        <source>Pink-Center:</source>
        <translation>Rosa-Mitte:</translation>
    </message>
    <message>
        <source>Pink-Sub Bass:</source>
        <translation>Rosa-Subbass:</translation>
    </message>
    <message>
        <source>Measurement</source>
        <translation>Messung</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Pegel</translation>
    </message>
    <message>
        <source>Slit Loss</source>
        <translation>Spaltverlust</translation>
    </message>
    <message>
        <source>Azimuth</source>
        <translation>Azimut</translation>
    </message>
    <message>
        <source>Projector 1</source>
        <translation>Projektor 1</translation>
    </message>
    <message>
        <source>Projector 2</source>
        <translation>Projektor 2</translation>
    </message>
    <message>
        <source>Press Start  --&gt;</source>
        <translation>Start drücken  --&gt;</translation>
    </message>
    <message>
        <source>Non-Sync Output Mode:</source>
        <translation>Non-Sync-Ausgabe:</translation>
    </message>
    <message>
        <source>Non-Sync Trim:</source>
        <translation>Non-Sync-Pegel:</translation>
    </message>
    <message>
        <source>Timecode Reader Offset:</source>
        <translation>Versatz des Timecode-Lesers:</translation>
    </message>
    <message>
        <source>Surround Delay:</source>
        <translation>Surround-Verzögerung:</translation>
    </message>
    <message>
        <source>Matrix Decoding Disabled</source>
        <translation>Matrix-Decodierung aus</translation>
    </message>
    <message>
        <source>Power On Format</source>
        <translation>Format beim Einschalten</translation>
    </message>
    <message>
        <source>F1 (MONO) Format Key Assignment</source>
        <translation>Belegung der Formattaste F1 (MONO)</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Enable Automatic Update</source>
        <translation>Automatisch aktualisieren</translation>
    </message>
    <message>
        <source>Every</source>
        <translation>Alle</translation>
    </message>
    <message>
        <source>seconds</source>
        <translation>Sekunden</translation>
    </message>
    <message>
        <source>Loading Please Wait...</source>
        <translation>Wird geladen, bitte warten...</translation>
    </message>
    <message>
        <source>Fader:</source>
        <translation>Fader:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Differences from the Unit</source>
        <translation>Unterschiede zum Gerät</translation>
    </message>
    <message>
        <source>Upload Selected</source>
        <translation>Auswahl übertragen</translation>
    </message>
    <message>
        <source>The upload date stamp and the bytes the unit does not use are not compared.</source>
        <translation>Der Datumsstempel der Übertragung und die Bytes, die das Gerät nicht nutzt, werden nicht verglichen.</translation>
    </message>
    <message>
        <source>Reason (optional, kept in the unit&apos;s history):</source>
        <translation>Grund (freiwillig, wird im Geräteverlauf festgehalten):</translation>
    </message>
    <message>
        <source>Unit History</source>
        <translation>Geräteverlauf</translation>
    </message>
    <message>
        <source>Save Support Bundle</source>
        <translation>Supportpaket speichern</translation>
    </message>
    <message>
        <source>Include theater information and host names</source>
        <translation>Kinodaten und Hostnamen aufnehmen</translation>
    </message>
    <message>
        <source>Save...</source>
        <translation>Speichern...</translation>
    </message>
    <message>
        <source>Site Overview</source>
        <translation>Standortübersicht</translation>
    </message>
    <message>
        <source>Baseline Folder...</source>
        <translation>Referenzordner...</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Approve as Baseline</source>
        <translation>Als Referenz freigeben</translation>
    </message>
    <message>
        <source>No automatic refresh</source>
        <translation>Keine automatische Aktualisierung</translation>
    </message>
    <message>
        <source>Refresh every 30 s</source>
        <translation>Alle 30 s aktualisieren</translation>
    </message>
    <message>
        <source>Refresh every minute</source>
        <translation>Jede Minute aktualisieren</translation>
    </message>
    <message>
        <source>Refresh every 5 minutes</source>
        <translation>Alle 5 Minuten aktualisieren</translation>
    </message>
    <message>
        <source>As-Found Configurations</source>
        <translation>Vorgefundene Konfigurationen</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
    <message>
        <source>Inverted</source>
        <translation>Invertiert</translation>
    </message>
    <message>
        <source>Ext 2-Trk A Type NR</source>
        <translation>Ext 2-Spur A-Type-RU</translation>
    </message>
    <message>
        <source>Ext 2-Trk SR Type NR</source>
        <translation>Ext 2-Spur SR-Type-RU</translation>
    </message>
    <message>
        <source>Pink Noise On</source>
        <translation>Rosa Rauschen ein</translation>
    </message>
    <message>
        <source>Internal A</source>
        <translation>Intern A</translation>
    </message>
    <message>
        <source>Internal SR</source>
        <translation>Intern SR</translation>
    </message>
    <message>
        <source>Un-Mute</source>
        <translation>Stumm aus</translation>
    </message>
    <message>
        <source>OBE Enable</source>
        <translation>OBE ein</translation>
    </message>
</context>
<context>
    <name>ChannelOps</name>
    <message>
        <source>Are you sure you want to reset %1?</source>
        <translation>%1 wirklich zurücksetzen?</translation>
    </message>
    <message>
        <source>Reset Channel?</source>
        <translation>Kanal zurücksetzen?</translation>
    </message>
    <message>
        <source>Nothing to Paste!</source>
        <translation>Nichts zum Einfügen!</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Incompatable Channel Format!</source>
        <translation>Unverträgliches Kanalformat!</translation>
    </message>
    <message>
        <source>Are you sure you want to copy %1 to %2?</source>
        <translation>%1 wirklich nach %2 kopieren?</translation>
    </message>
    <message>
        <source>Copy?</source>
        <translation>Kopieren?</translation>
    </message>
</context>
<context>
    <name>Clock</name>
    <message>
        <source>PM</source>
        <translation>PM</translation>
    </message>
    <message>
        <source>AM</source>
        <translation>AM</translation>
    </message>
</context>
<context>
    <name>Connection</name>
    <message>
        <source>CPU Version: %1</source>
        <translation>CPU-Version: %1</translation>
    </message>
    <message>
        <source>DSP Controller: %1</source>
        <translation>DSP-Controller: %1</translation>
    </message>
    <message>
        <source>DSP Firmware: %1</source>
        <translation>DSP-Firmware: %1</translation>
    </message>
    <message>
        <source>Off Line</source>
        <translation>Offline</translation>
    </message>
    <message>
        <source>On Line</source>
        <translation>Online</translation>
    </message>
    <message>
        <source>Data?</source>
        <translation>Daten?</translation>
    </message>
    <message>
        <source>Connecting to Cinema Processor.</source>
        <translation>Verbindung zum Kinoprozessor wird hergestellt.</translation>
    </message>
    <message>
        <source>Determining Software Version.</source>
        <translation>Softwareversion wird ermittelt.</translation>
    </message>
    <message>
        <source>Error cinema processor bios is out of date, contact ZELK for an update.</source>
        <translation>Fehler: das BIOS des Kinoprozessors ist veraltet, wenden Sie sich für ein Update an ZELK.</translation>
    </message>
    <message>
        <source>Cinema Processor Error</source>
        <translation>Fehler des Kinoprozessors</translation>
    </message>
</context>
<context>
    <name>Dispatcher</name>
    <message>
        <source>The following Errors were encountered:

</source>
        <translation>Folgende Fehler sind aufgetreten:

</translation>
    </message>
    <message>
        <source>

Cannot Continue On Line!
</source>
        <translation>

Online-Betrieb nicht möglich!
</translation>
    </message>
    <message>
        <source>Unable to connect to unit!</source>
        <translation>Keine Verbindung zum Gerät!</translation>
    </message>
    <message>
        <source>Connection Error</source>
        <translation>Verbindungsfehler</translation>
    </message>
</context>
<context>
    <name>Document</name>
    <message>
        <source>Untitled</source>
        <translation>Unbenannt</translation>
    </message>
    <message>
        <source>CP Settings</source>
        <translation>CP-Einstellungen</translation>
    </message>
    <message>
        <source>Recovered</source>
        <translation>Wiederhergestellt</translation>
    </message>
</context>
<context>
    <name>Errors</name>
    <message>
        <source>- Serial Port Error</source>
        <translation>- Fehler der seriellen Schnittstelle</translation>
    </message>
    <message>
        <source>- Error Transmitting</source>
        <translation>- Fehler beim Senden</translation>
    </message>
    <message>
        <source>- Error Receiving</source>
        <translation>- Fehler beim Empfangen</translation>
    </message>
    <message>
        <source>- Error Communicating System Block</source>
        <translation>- Fehler bei der Übertragung des Systemblocks</translation>
    </message>
    <message>
        <source>- Error Communicating Audio Block</source>
        <translation>- Fehler bei der Übertragung des Audioblocks</translation>
    </message>
    <message>
        <source>- Invalid response from unit</source>
        <translation>- Ungültige Antwort des Geräts</translation>
    </message>
    <message>
        <source>- Could Not Initialise</source>
        <translation>- Initialisierung fehlgeschlagen</translation>
    </message>
    <message>
        <source>- Error during ASCII command</source>
        <translation>- Fehler bei einem ASCII-Befehl</translation>
    </message>
    <message>
        <source>- Error during streaming</source>
        <translation>- Fehler beim Datenstrom</translation>
    </message>
    <message>
        <source>- Data is not as requested</source>
        <translation>- Daten nicht wie angefordert</translation>
    </message>
    <message>
        <source>- Current OS is not compatable</source>
        <translation>- Das Betriebssystem ist nicht kompatibel</translation>
    </message>
    <message>
        <source>- Value out of range</source>
        <translation>- Wert außerhalb des Bereichs</translation>
    </message>
</context>
<context>
    <name>FileCommands</name>
    <message>
        <source>ZELK VELQ Config Files (*.zcf)|*.zcf|Old Config File format (*.cfg)|*.cfg</source>
        <translation>ZELK-VELQ-Konfigurationen (*.zcf)|*.zcf|Altes Konfigurationsformat (*.cfg)|*.cfg</translation>
    </message>
    <message>
        <source>ZELK VELQ Config Files (*.zcf)|*.zcf</source>
        <translation>ZELK-VELQ-Konfigurationen (*.zcf)|*.zcf</translation>
    </message>
    <message>
        <source>Do you want to save your changes?</source>
        <translation>Möchten Sie Ihre Änderungen speichern?</translation>
    </message>
    <message>
        <source>Save?</source>
        <translation>Speichern?</translation>
    </message>
    <message>
        <source>Error open opening file! Incorrect format!</source>
        <translation>Fehler beim Öffnen der Datei! Falsches Format!</translation>
    </message>
    <message>
        <source>File Error</source>
        <translation>Dateifehler</translation>
    </message>
    <message>
        <source>The configuration could not be saved to %1:
%2

The file on disk was not changed; the changes are still in the editor.</source>
        <translation>Die Konfiguration konnte nicht in %1 gespeichert werden:
%2

Die Datei auf dem Datenträger blieb unverändert; die Änderungen sind weiter im Editor.</translation>
    </message>
</context>
<context>
    <name>History</name>
    <message>
        <source>%1 is larger than %2 MB: it was not read</source>
        <translation>%1 ist größer als %2 MB: nicht gelesen</translation>
    </message>
    <message>
        <source>%1 could not be read</source>
        <translation>%1 konnte nicht gelesen werden</translation>
    </message>
    <message>
        <source>%1 could not be read: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>line %1 of %2 is damaged (cut short or not a record) and was skipped</source>
        <translation>Zeile %1 von %2 ist beschädigt (abgeschnitten oder kein Eintrag) und wurde übersprungen</translation>
    </message>
    <message>
        <source>upload</source>
        <translation>Übertragung</translation>
    </message>
    <message>
        <source>automatic upload</source>
        <translation>automatische Übertragung</translation>
    </message>
    <message>
        <source>restore</source>
        <translation>Wiederherstellung</translation>
    </message>
    <message>
        <source>as-found</source>
        <translation>vorgefunden</translation>
    </message>
    <message>
        <source>verified</source>
        <translation>geprüft</translation>
    </message>
    <message>
        <source>not verified</source>
        <translation>nicht geprüft</translation>
    </message>
    <message>
        <source>rolled back</source>
        <translation>zurückgerollt</translation>
    </message>
    <message>
        <source>half done</source>
        <translation>halb erledigt</translation>
    </message>
    <message>
        <source>not sent</source>
        <translation>nicht gesendet</translation>
    </message>
    <message>
        <source>nothing to send</source>
        <translation>nichts zu senden</translation>
    </message>
    <message>
        <source>kept</source>
        <translation>behalten</translation>
    </message>
</context>
<context>
    <name>Levels</name>
    <message>
        <source>Error, Please enter a number between 0 and 9.9!</source>
        <translation>Fehler: Bitte eine Zahl zwischen 0 und 9.9 eingeben!</translation>
    </message>
    <message>
        <source>Range Check Error</source>
        <translation>Bereichsfehler</translation>
    </message>
    <message>
        <source>Are you sure you want to Set Fader = 7.0 ?</source>
        <translation>Fader wirklich auf 7.0 setzen?</translation>
    </message>
    <message>
        <source>Set Fader = 7.0</source>
        <translation>Fader = 7.0</translation>
    </message>
    <message>
        <source>Error, Please enter a number between -10 and 10!</source>
        <translation>Fehler: Bitte eine Zahl zwischen -10 und 10 eingeben!</translation>
    </message>
    <message>
        <source>Error, Please enter a number between -6 and 6!</source>
        <translation>Fehler: Bitte eine Zahl zwischen -6 und 6 eingeben!</translation>
    </message>
</context>
<context>
    <name>Lifecycle</name>
    <message>
        <source>Error, screen resolution too low. Please select a screen resolution of at least 800 x 600.</source>
        <translation>Fehler: die Bildschirmauflösung ist zu niedrig. Bitte wählen Sie mindestens 800 x 600.</translation>
    </message>
    <message>
        <source>Screen Resolution Error</source>
        <translation>Fehler der Bildschirmauflösung</translation>
    </message>
    <message>
        <source>The editor was told to stop last time (the session ended, or the program was ended) while it held changes that were not saved. They were kept in %1.

Open them now?</source>
        <translation>Der Editor wurde beim letzten Mal beendet (die Sitzung endete oder das Programm wurde beendet), als er ungespeicherte Änderungen hielt. Sie wurden in %1 aufbewahrt.

Jetzt öffnen?</translation>
    </message>
    <message>
        <source>Recover Changes?</source>
        <translation>Änderungen wiederherstellen?</translation>
    </message>
    <message>
        <source>Do you want to save changes before you exit?</source>
        <translation>Möchten Sie die Änderungen vor dem Beenden speichern?</translation>
    </message>
    <message>
        <source>Save?</source>
        <translation>Speichern?</translation>
    </message>
    <message>
        <source>Do you want to revert back to original settings?</source>
        <translation>Möchten Sie zu den ursprünglichen Einstellungen zurückkehren?</translation>
    </message>
    <message>
        <source>Revert?</source>
        <translation>Zurückkehren?</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>Unit Link Library</source>
        <translation>Gerätebibliothek</translation>
    </message>
    <message>
        <source>

The editor will start off line.</source>
        <translation>

Der Editor startet offline.</translation>
    </message>
</context>
<context>
    <name>Optical</name>
    <message>
        <source>Ref.</source>
        <translation>Ref.</translation>
    </message>
    <message>
        <source>  Left</source>
        <translation>  Links</translation>
    </message>
    <message>
        <source> Right</source>
        <translation> Rechts</translation>
    </message>
    <message>
        <source>12 dB</source>
        <translation>12 dB</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Bereich</translation>
    </message>
    <message>
        <source>Band (kHz)</source>
        <translation>Band (kHz)</translation>
    </message>
    <message>
        <source>on Ref.</source>
        <translation>auf Ref.</translation>
    </message>
    <message>
        <source>%1 above Ref.</source>
        <translation>%1 über Ref.</translation>
    </message>
    <message>
        <source>%1 below Ref.</source>
        <translation>%1 unter Ref.</translation>
    </message>
    <message>
        <source>Left  %1
Right %2</source>
        <translation>Links  %1
Rechts %2</translation>
    </message>
    <message>
        <source>Left: worst %1 kHz %2 dB
</source>
        <translation>Links: schlechtestes %1 kHz %2 dB
</translation>
    </message>
    <message>
        <source>Right: worst %1 kHz %2 dB
</source>
        <translation>Rechts: schlechtestes %1 kHz %2 dB
</translation>
    </message>
    <message>
        <source>Track correlation %1
Best since Start  %2
(1.000 = aligned)</source>
        <translation>Spurkorrelation %1
Beste seit Start  %2
(1.000 = justiert)</translation>
    </message>
</context>
<context>
    <name>PortHint</name>
    <message>
        <source>No answer on %1%2: check that the unit is switched on and cabled to this port, or choose another port in Options &gt; COM Port Selection.</source>
        <translation>Keine Antwort an %1%2: prüfen Sie, ob das Gerät eingeschaltet und an diesen Anschluss angeschlossen ist, oder wählen Sie unter Optionen &gt; COM-Anschluss einen anderen.</translation>
    </message>
    <message>
        <source>The unit on %1 answered, then stopped answering: check the cable and the unit, then press Connect again.</source>
        <translation>Das Gerät an %1 antwortete und dann nicht mehr: prüfen Sie Kabel und Gerät und drücken Sie erneut Verbinden.</translation>
    </message>
</context>
<context>
    <name>PortSpeed</name>
    <message>
        <source>19200 (not on this port)</source>
        <translation>19200 (nicht an diesem Anschluss)</translation>
    </message>
    <message>
        <source>The unit did not answer at %1 bit/s. It is still at %2 bit/s, and so is the link.</source>
        <translation>Das Gerät antwortete nicht mit %1 bit/s. Es arbeitet weiter mit %2 bit/s, ebenso die Verbindung.</translation>
    </message>
    <message>
        <source>The unit answers neither at %1 nor at %2 bit/s. Switch it off and on again (it starts at 9600 bit/s), then press Connect.</source>
        <translation>Das Gerät antwortet weder mit %1 noch mit %2 bit/s. Schalten Sie es aus und wieder ein (es startet mit 9600 bit/s) und drücken Sie dann Verbinden.</translation>
    </message>
    <message>
        <source>Speed Change</source>
        <translation>Geschwindigkeitswechsel</translation>
    </message>
</context>
<context>
    <name>Report</name>
    <message>
        <source>Bass %1 dB</source>
        <translation>Bass %1 dB</translation>
    </message>
    <message>
        <source>Treble %1 dB</source>
        <translation>Höhen %1 dB</translation>
    </message>
    <message>
        <source>%1 - Service Report</source>
        <translation>%1 - Servicebericht</translation>
    </message>
    <message>
        <source>Page %1 of %2</source>
        <translation>Seite %1 von %2</translation>
    </message>
    <message>
        <source>Verify after upload: %1</source>
        <translation>Prüfung nach der Übertragung: %1</translation>
    </message>
    <message>
        <source>Circuit</source>
        <translation>Kette</translation>
    </message>
    <message>
        <source>Theater Name</source>
        <translation>Kinoname</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Adresse</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Ort</translation>
    </message>
    <message>
        <source>Zip Code</source>
        <translation>PLZ</translation>
    </message>
    <message>
        <source>State / County</source>
        <translation>Land / Kreis</translation>
    </message>
    <message>
        <source>Phone</source>
        <translation>Telefon</translation>
    </message>
    <message>
        <source>S/N of Processor</source>
        <translation>S/N des Prozessors</translation>
    </message>
    <message>
        <source>Screen Number</source>
        <translation>Saalnummer</translation>
    </message>
    <message>
        <source>Date Installed</source>
        <translation>Installiert am</translation>
    </message>
    <message>
        <source>Notes</source>
        <translation>Notizen</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>Sonntag</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>Montag</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>Dienstag</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>Mittwoch</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>Donnerstag</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>Freitag</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>Samstag</translation>
    </message>
    <message>
        <source>January</source>
        <translation>Januar</translation>
    </message>
    <message>
        <source>February</source>
        <translation>Februar</translation>
    </message>
    <message>
        <source>March</source>
        <translation>März</translation>
    </message>
    <message>
        <source>April</source>
        <translation>April</translation>
    </message>
    <message>
        <source>May</source>
        <translation>Mai</translation>
    </message>
    <message>
        <source>June</source>
        <translation>Juni</translation>
    </message>
    <message>
        <source>July</source>
        <translation>Juli</translation>
    </message>
    <message>
        <source>August</source>
        <translation>August</translation>
    </message>
    <message>
        <source>September</source>
        <translation>September</translation>
    </message>
    <message>
        <source>October</source>
        <translation>Oktober</translation>
    </message>
    <message>
        <source>November</source>
        <translation>November</translation>
    </message>
    <message>
        <source>December</source>
        <translation>Dezember</translation>
    </message>
    <message>
        <source>%1 %2 %3 %4, %5 %6</source>
        <translation>%1, %2. %3 %4, %5 %6</translation>
    </message>
    <message>
        <source>Service Report</source>
        <translation>Servicebericht</translation>
    </message>
    <message>
        <source>Theater Information</source>
        <translation>Kinodaten</translation>
    </message>
    <message>
        <source>Processor Unit</source>
        <translation>Prozessor</translation>
    </message>
    <message>
        <source>CPU Version</source>
        <translation>CPU-Version</translation>
    </message>
    <message>
        <source>DSP Controller</source>
        <translation>DSP-Controller</translation>
    </message>
    <message>
        <source>DSP Firmware</source>
        <translation>DSP-Firmware</translation>
    </message>
    <message>
        <source>Versions</source>
        <translation>Versionen</translation>
    </message>
    <message>
        <source>not read: the editor was not connected to the unit</source>
        <translation>nicht gelesen: der Editor war nicht mit dem Gerät verbunden</translation>
    </message>
    <message>
        <source>Last upload (date stamp)</source>
        <translation>Letzte Übertragung (Datumsstempel)</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Output Trims and Fader</source>
        <translation>Ausgangspegel und Fader</translation>
    </message>
    <message>
        <source>Master fader</source>
        <translation>Hauptfader</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>OBE</source>
        <translation>OBE</translation>
    </message>
    <message>
        <source>Kept bytes (not shown in the editor)</source>
        <translation>Bewahrte Bytes (im Editor nicht gezeigt)</translation>
    </message>
    <message>
        <source>Changes since the as-found</source>
        <translation>Änderungen seit der vorgefundenen Konfiguration</translation>
    </message>
    <message>
        <source> (only %1)</source>
        <translation> (nur %1)</translation>
    </message>
    <message>
        <source>. Reason: %1</source>
        <translation>. Grund: %1</translation>
    </message>
    <message>
        <source>%1 earlier, in the unit&apos;s history</source>
        <translation>%1 frühere im Geräteverlauf</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Keine</translation>
    </message>
    <message>
        <source>no upload recorded since the as-found configuration</source>
        <translation>seit der vorgefundenen Konfiguration keine Übertragung verzeichnet</translation>
    </message>
    <message>
        <source>%1 (%2 bands)</source>
        <translation>%1 (%2 Bänder)</translation>
    </message>
    <message>
        <source>%1 (sub-bass parametric)</source>
        <translation>%1 (parametrischer Subbass)</translation>
    </message>
    <message>
        <source>Verify after upload</source>
        <translation>Prüfung nach der Übertragung</translation>
    </message>
</context>
<context>
    <name>ServiceVisit</name>
    <message>
        <source>Verified: the unit holds the settings sent (%1 read back at %2).</source>
        <translation>Geprüft: das Gerät hält die gesendeten Einstellungen (%1 um %2 zurückgelesen).</translation>
    </message>
    <message>
        <source>system block</source>
        <translation>Systemblock</translation>
    </message>
    <message>
        <source>audio block</source>
        <translation>Audioblock</translation>
    </message>
    <message>
        <source>system and audio blocks</source>
        <translation>System- und Audioblock</translation>
    </message>
    <message>
        <source>%1: sent %2, the unit holds %3
</source>
        <translation>%1: gesendet %2, das Gerät hält %3
</translation>
    </message>
    <message>
        <source>... and %1 more
</source>
        <translation>... und %1 weitere
</translation>
    </message>
    <message>
        <source>The option could not be saved in %1: it holds for this run.</source>
        <translation>Die Option konnte nicht in %1 gespeichert werden: sie gilt für diesen Lauf.</translation>
    </message>
    <message>
        <source> The configuration is not uploaded.</source>
        <translation> Die Konfiguration ist nicht übertragen.</translation>
    </message>
    <message>
        <source>Compare with Unit reads the unit&apos;s settings: connect to the unit first.</source>
        <translation>Mit Gerät vergleichen liest die Einstellungen des Geräts: verbinden Sie sich zuerst mit dem Gerät.</translation>
    </message>
    <message>
        <source>Compare with Unit</source>
        <translation>Mit Gerät vergleichen</translation>
    </message>
    <message>
        <source>Apply to the Unit reads the unit&apos;s settings: connect to the unit first.</source>
        <translation>Auf das Gerät anwenden liest die Einstellungen des Geräts: verbinden Sie sich zuerst mit dem Gerät.</translation>
    </message>
    <message>
        <source>Apply to the Unit</source>
        <translation>Auf das Gerät anwenden</translation>
    </message>
    <message>
        <source>The file is open in the editor and has not been sent: File &gt; Apply to the Unit... shows what it changes in the unit and sends the settings you tick.</source>
        <translation>Die Datei ist im Editor geöffnet und wurde nicht gesendet: Datei &gt; Auf das Gerät anwenden... zeigt, was sie im Gerät ändert, und sendet die Einstellungen, die Sie ankreuzen.</translation>
    </message>
    <message>
        <source>Setting</source>
        <translation>Einstellung</translation>
    </message>
    <message>
        <source>Editor</source>
        <translation>Editor</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>No differences: the unit holds the editor&apos;s settings (read from the unit at %1).</source>
        <translation>Keine Unterschiede: das Gerät hält die Einstellungen des Editors (um %1 aus dem Gerät gelesen).</translation>
    </message>
    <message>
        <source>%1 setting differs between the editor and the unit (read from the unit at %2). Untick what the unit is to keep; Upload Selected sends the rest.</source>
        <translation>%1 Einstellung unterscheidet sich zwischen Editor und Gerät (um %2 aus dem Gerät gelesen). Entfernen Sie das Häkchen bei dem, was das Gerät behalten soll; Auswahl übertragen sendet den Rest.</translation>
    </message>
    <message>
        <source>%1 settings differ between the editor and the unit (read from the unit at %2). Untick what the unit is to keep; Upload Selected sends the rest.</source>
        <translation>%1 Einstellungen unterscheiden sich zwischen Editor und Gerät (um %2 aus dem Gerät gelesen). Entfernen Sie das Häkchen bei dem, was das Gerät behalten soll; Auswahl übertragen sendet den Rest.</translation>
    </message>
    <message>
        <source>Upload Settings: Differences from the Unit</source>
        <translation>Einstellungen übertragen: Unterschiede zum Gerät</translation>
    </message>
    <message>
        <source>Apply to the Unit: %1</source>
        <translation>Auf das Gerät anwenden: %1</translation>
    </message>
    <message>
        <source>Differences from the Unit</source>
        <translation>Unterschiede zum Gerät</translation>
    </message>
    <message>
        <source>Reason (asked before each upload, kept in the unit&apos;s history):</source>
        <translation>Grund (vor jeder Übertragung erfragt, wird im Geräteverlauf festgehalten):</translation>
    </message>
    <message>
        <source>Reason (optional, kept in the unit&apos;s history):</source>
        <translation>Grund (freiwillig, wird im Geräteverlauf festgehalten):</translation>
    </message>
    <message>
        <source>The settings left unticked now hold the unit&apos;s values in the editor too.</source>
        <translation>Die nicht angekreuzten Einstellungen haben jetzt auch im Editor die Werte des Geräts.</translation>
    </message>
    <message>
        <source>Not verified: the unit stopped answering before the %1 could be read back.</source>
        <translation>Nicht geprüft: das Gerät antwortete nicht mehr, bevor %1 zurückgelesen werden konnte.</translation>
    </message>
    <message>
        <source>NOT verified: the unit holds other values for %1.</source>
        <translation>NICHT geprüft: das Gerät hält andere Werte für %1.</translation>
    </message>
    <message>
        <source>The unit did not keep what was sent. These settings read back differently:

%1
The configuration is not uploaded. Upload again; if the same settings come back wrong, the unit needs service.</source>
        <translation>Das Gerät hat das Gesendete nicht behalten. Diese Einstellungen wurden anders zurückgelesen:

%1
Die Konfiguration ist nicht übertragen. Übertragen Sie erneut; kommen dieselben Einstellungen wieder falsch zurück, braucht das Gerät den Service.</translation>
    </message>
    <message>
        <source>Upload Not Verified</source>
        <translation>Übertragung nicht geprüft</translation>
    </message>
    <message>
        <source>Upload rolled back: the unit holds its previous settings.</source>
        <translation>Übertragung zurückgerollt: das Gerät hält seine vorherigen Einstellungen.</translation>
    </message>
    <message>
        <source>The unit stored the system block but not the audio block, so its previous system block was sent back: rolled back: the unit holds its previous settings.

The changes are kept in the editor; connect again and upload them once the unit answers.</source>
        <translation>Das Gerät speicherte den Systemblock, aber nicht den Audioblock; daher wurde sein vorheriger Systemblock zurückgesendet: zurückgerollt: das Gerät hält seine vorherigen Einstellungen.

Die Änderungen bleiben im Editor; verbinden Sie sich erneut und übertragen Sie sie, sobald das Gerät antwortet.</translation>
    </message>
    <message>
        <source>Upload Rolled Back</source>
        <translation>Übertragung zurückgerollt</translation>
    </message>
    <message>
        <source>The upload is HALF DONE: the unit stored the system block but not the audio block; it now holds the new system settings with its previous audio settings (equalisers, trims, OBE). Upload again once the unit answers.</source>
        <translation>Die Übertragung ist HALB ERLEDIGT: das Gerät speicherte den Systemblock, aber nicht den Audioblock; es hält jetzt die neuen Systemeinstellungen mit seinen vorherigen Audioeinstellungen (Entzerrer, Pegel, OBE). Übertragen Sie erneut, sobald das Gerät antwortet.</translation>
    </message>
    <message>
        <source>Upload Half Done</source>
        <translation>Übertragung halb erledigt</translation>
    </message>
    <message>
        <source>The unit&apos;s history could not be written to %1: %2</source>
        <translation>Der Geräteverlauf konnte nicht in %1 geschrieben werden: %2</translation>
    </message>
    <message>
        <source> (only %1)</source>
        <translation> (nur %1)</translation>
    </message>
    <message>
        <source>When</source>
        <translation>Wann</translation>
    </message>
    <message>
        <source>Program</source>
        <translation>Programm</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Benutzer</translation>
    </message>
    <message>
        <source>What</source>
        <translation>Was</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Ergebnis</translation>
    </message>
    <message>
        <source>Reason</source>
        <translation>Grund</translation>
    </message>
    <message>
        <source>Changes</source>
        <translation>Änderungen</translation>
    </message>
    <message>
        <source>Nothing recorded yet in %1</source>
        <translation>In %1 ist noch nichts verzeichnet</translation>
    </message>
    <message>
        <source>Kept in %1</source>
        <translation>Festgehalten in %1</translation>
    </message>
    <message>
        <source>Unit History: COM%1</source>
        <translation>Geräteverlauf: COM%1</translation>
    </message>
    <message>
        <source>The as-found configuration could not be kept: %1</source>
        <translation>Die vorgefundene Konfiguration konnte nicht aufbewahrt werden: %1</translation>
    </message>
    <message>
        <source>As found: the unit&apos;s configuration is kept in %1.</source>
        <translation>Vorgefunden: die Konfiguration des Geräts ist in %1 aufbewahrt.</translation>
    </message>
    <message>
        <source>No as-found configuration has been kept yet: one is kept each time the editor connects to a unit.

Folder: %1</source>
        <translation>Es wurde noch keine vorgefundene Konfiguration aufbewahrt: eine wird jedes Mal aufbewahrt, wenn sich der Editor mit einem Gerät verbindet.

Ordner: %1</translation>
    </message>
    <message>
        <source>Open As-Found</source>
        <translation>Vorgefundene öffnen</translation>
    </message>
    <message>
        <source>Theater</source>
        <translation>Kino</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>Saal</translation>
    </message>
    <message>
        <source>S/N</source>
        <translation>S/N</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Vorgefunden</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>The as-found file could not be read: %1</source>
        <translation>Die vorgefundene Datei konnte nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>As found: %1</source>
        <translation>Vorgefunden: %1</translation>
    </message>
    <message>
        <source>Opened the as-found configuration %1. Save As keeps a copy; it is not uploaded.</source>
        <translation>Die vorgefundene Konfiguration %1 ist geöffnet. Speichern unter bewahrt eine Kopie; sie ist nicht übertragen.</translation>
    </message>
    <message>
        <source>This program was built without the PDF writer.</source>
        <translation>Dieses Programm wurde ohne den PDF-Schreiber gebaut.</translation>
    </message>
    <message>
        <source>Export Service Report</source>
        <translation>Servicebericht exportieren</translation>
    </message>
    <message>
        <source>Service report %1</source>
        <translation>Servicebericht %1</translation>
    </message>
    <message>
        <source>%1 service report %2</source>
        <translation>%1 Servicebericht %2</translation>
    </message>
    <message>
        <source>The service report could not be written to %1:
%2</source>
        <translation>Der Servicebericht konnte nicht in %1 geschrieben werden:
%2</translation>
    </message>
    <message>
        <source>Service report written to %1.</source>
        <translation>Servicebericht in %1 geschrieben.</translation>
    </message>
    <message>
        <source>PDF Files (*.pdf)|*.pdf</source>
        <translation>PDF-Dateien (*.pdf)|*.pdf</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>Output Trims</source>
        <translation>Ausgangspegel</translation>
    </message>
    <message>
        <source>OBE</source>
        <translation>OBE</translation>
    </message>
    <message>
        <source>%1 equaliser</source>
        <translation>Entzerrer %1</translation>
    </message>
    <message>
        <source>Left Channel</source>
        <translation>Linker Kanal</translation>
    </message>
    <message>
        <source>Left Surround Channel</source>
        <translation>Linker Surroundkanal</translation>
    </message>
    <message>
        <source>Center Channel</source>
        <translation>Mittenkanal</translation>
    </message>
    <message>
        <source>Right Surround Channel</source>
        <translation>Rechter Surroundkanal</translation>
    </message>
    <message>
        <source>Right Channel</source>
        <translation>Rechter Kanal</translation>
    </message>
    <message>
        <source>Subwoofer Channel</source>
        <translation>Subwooferkanal</translation>
    </message>
    <message>
        <source>code %1 (out of range)</source>
        <translation>Code %1 (außerhalb des Bereichs)</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Nein</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Ja</translation>
    </message>
    <message>
        <source>Power On Format</source>
        <translation>Format beim Einschalten</translation>
    </message>
    <message>
        <source>F1 (MONO) Format Key Assignment</source>
        <translation>Belegung der Formattaste F1 (MONO)</translation>
    </message>
    <message>
        <source>Matrix Decoding Disabled</source>
        <translation>Matrix-Decodierung aus</translation>
    </message>
    <message>
        <source>Non-Sync Mode</source>
        <translation>Non-Sync-Ausgabe</translation>
    </message>
    <message>
        <source>Non-Sync Trim</source>
        <translation>Non-Sync-Pegel</translation>
    </message>
    <message>
        <source>Reader Delay</source>
        <translation>Versatz des Lesers</translation>
    </message>
    <message>
        <source>Surround Delay</source>
        <translation>Surround-Verzögerung</translation>
    </message>
    <message>
        <source>Output Trim</source>
        <translation>Ausgangspegel</translation>
    </message>
    <message>
        <source>%1 trim</source>
        <translation>%1 Pegel</translation>
    </message>
    <message>
        <source>%1 sub-bass gain</source>
        <translation>%1 Subbass-Pegel</translation>
    </message>
    <message>
        <source>%1 sub-bass bandwidth</source>
        <translation>%1 Subbass-Bandbreite</translation>
    </message>
    <message>
        <source>%1 sub-bass frequency</source>
        <translation>%1 Subbass-Frequenz</translation>
    </message>
    <message>
        <source>%1 bass</source>
        <translation>%1 Bass</translation>
    </message>
    <message>
        <source>%1 treble</source>
        <translation>%1 Höhen</translation>
    </message>
    <message>
        <source>OBE Filter</source>
        <translation>OBE-Filter</translation>
    </message>
    <message>
        <source>OBE Gain</source>
        <translation>OBE-Pegel</translation>
    </message>
    <message>
        <source>Kept bytes</source>
        <translation>Bewahrte Bytes</translation>
    </message>
    <message>
        <source>System byte %1</source>
        <translation>Systembyte %1</translation>
    </message>
    <message>
        <source> (code %1)</source>
        <translation> (Code %1)</translation>
    </message>
    <message>
        <source> and </source>
        <translation> und </translation>
    </message>
    <message>
        <source> and %1 more</source>
        <translation> und %1 weitere</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Ein</translation>
    </message>
</context>
<context>
    <name>SiteOverview</name>
    <message>
        <source>q7mctl, which reads the other units, could not be started</source>
        <translation>q7mctl, das die anderen Geräte liest, konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>q7mctl, which reads the other units, could not be started: %1</source>
        <translation>q7mctl, das die anderen Geräte liest, konnte nicht gestartet werden: %1</translation>
    </message>
    <message>
        <source>q7mctl ended with status %1 and no result</source>
        <translation>q7mctl endete mit Status %1 und ohne Ergebnis</translation>
    </message>
    <message>
        <source>screen %1</source>
        <translation>Saal %1</translation>
    </message>
    <message>
        <source>%1, screen %2</source>
        <translation>%1, Saal %2</translation>
    </message>
    <message>
        <source>CPU %1, DSP %2/%3</source>
        <translation>CPU %1, DSP %2/%3</translation>
    </message>
    <message>
        <source>reading...</source>
        <translation>wird gelesen...</translation>
    </message>
    <message>
        <source>on line</source>
        <translation>online</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>keine Antwort</translation>
    </message>
    <message>
        <source>busy</source>
        <translation>belegt</translation>
    </message>
    <message>
        <source>this editor</source>
        <translation>dieser Editor</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>matches</source>
        <translation>stimmt überein</translation>
    </message>
    <message>
        <source>%1 differs</source>
        <translation>%1 abweichend</translation>
    </message>
    <message>
        <source>%1 differ</source>
        <translation>%1 abweichend</translation>
    </message>
    <message>
        <source>on</source>
        <translation>ein</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>Baselines: %1</source>
        <translation>Referenzen: %1</translation>
    </message>
    <message>
        <source>Baseline Folder</source>
        <translation>Referenzordner</translation>
    </message>
    <message>
        <source>The folder could not be remembered in %1: it holds for now.</source>
        <translation>Der Ordner konnte nicht in %1 vermerkt werden: er gilt vorerst.</translation>
    </message>
    <message>
        <source>Screen</source>
        <translation>Saal</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>Target</source>
        <translation>Ziel</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Zustand</translation>
    </message>
    <message>
        <source>Versions</source>
        <translation>Versionen</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Fader</source>
        <translation>Fader</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>Baseline</source>
        <translation>Referenz</translation>
    </message>
    <message>
        <source>Last Upload</source>
        <translation>Letzte Übertragung</translation>
    </message>
    <message>
        <source>As Found</source>
        <translation>Vorgefunden</translation>
    </message>
    <message>
        <source>Reading %1 unit...</source>
        <translation>%1 Gerät wird gelesen...</translation>
    </message>
    <message>
        <source>Reading %1 units...</source>
        <translation>%1 Geräte werden gelesen...</translation>
    </message>
    <message>
        <source>Read at %1.</source>
        <translation>Gelesen um %1.</translation>
    </message>
    <message>
        <source>the editor&apos;s link to the unit failed</source>
        <translation>die Verbindung des Editors zum Gerät ist gestört</translation>
    </message>
    <message>
        <source>The other units could not be read: %1</source>
        <translation>Die anderen Geräte konnten nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>The editor is connected to COM%1 already.</source>
        <translation>Der Editor ist bereits mit COM%1 verbunden.</translation>
    </message>
    <message>
        <source>Do you want to save your changes before connecting to COM%1?</source>
        <translation>Möchten Sie Ihre Änderungen speichern, bevor Sie sich mit COM%1 verbinden?</translation>
    </message>
    <message>
        <source>Save?</source>
        <translation>Speichern?</translation>
    </message>
    <message>
        <source>The editor is connected to COM%1.</source>
        <translation>Der Editor ist mit COM%1 verbunden.</translation>
    </message>
    <message>
        <source>The editor could not connect to COM%1.</source>
        <translation>Der Editor konnte sich nicht mit COM%1 verbinden.</translation>
    </message>
    <message>
        <source>The baseline folder %1 cannot be made: %2</source>
        <translation>Der Referenzordner %1 kann nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>Approve as Baseline</source>
        <translation>Als Referenz freigeben</translation>
    </message>
    <message>
        <source>%1 already holds the approved configuration of this screen.

Replace it with what the unit on COM%2 holds now?</source>
        <translation>%1 enthält bereits die freigegebene Konfiguration dieses Saals.

Durch das ersetzen, was das Gerät an COM%2 jetzt hält?</translation>
    </message>
    <message>
        <source>Reading COM%1 for its baseline...</source>
        <translation>COM%1 wird für seine Referenz gelesen...</translation>
    </message>
    <message>
        <source>COM%1 approved.</source>
        <translation>COM%1 freigegeben.</translation>
    </message>
    <message>
        <source>COM%1 was not approved.</source>
        <translation>COM%1 wurde nicht freigegeben.</translation>
    </message>
    <message>
        <source>The unit on COM%1 could not be kept as its baseline:

%2</source>
        <translation>Das Gerät an COM%1 konnte nicht als seine Referenz aufbewahrt werden:

%2</translation>
    </message>
    <message>
        <source>The baseline could not be written to %1:
%2</source>
        <translation>Die Referenz konnte nicht in %1 geschrieben werden:
%2</translation>
    </message>
</context>
<context>
    <name>Support</name>
    <message>
        <source>the versions of the program, the link library, Qt and the operating system, and the unit&apos;s when on line</source>
        <translation>die Versionen des Programms, der Gerätebibliothek, von Qt und des Betriebssystems sowie die des Geräts, wenn online</translation>
    </message>
    <message>
        <source>the port table (ZelkSerial.ini)</source>
        <translation>die Anschlusstabelle (ZelkSerial.ini)</translation>
    </message>
    <message>
        <source>the editor&apos;s settings (settings.dat, service.ini, windows.ini, editor.ini)</source>
        <translation>die Einstellungen des Editors (settings.dat, service.ini, windows.ini, editor.ini)</translation>
    </message>
    <message>
        <source>the last %1 as-found configurations</source>
        <translation>die letzten %1 vorgefundenen Konfigurationen</translation>
    </message>
    <message>
        <source>each unit&apos;s upload history (history/)</source>
        <translation>den Übertragungsverlauf jedes Geräts (history/)</translation>
    </message>
    <message>
        <source>the line trace of the editor&apos;s last two sessions (the last %1 lines of each) and their crash notes</source>
        <translation>das Leitungsprotokoll der letzten zwei Sitzungen des Editors (die letzten %1 Zeilen jeder) und ihre Absturznotizen</translation>
    </message>
    <message>
        <source>The support bundle is one archive for the support desk. It holds:
</source>
        <translation>Das Supportpaket ist ein Archiv für den Support. Es enthält:
</translation>
    </message>
    <message>
        <source>
Theater information and host names are left out unless you tick the box below.</source>
        <translation>
Kinodaten und Hostnamen bleiben draußen, sofern Sie das Kästchen unten nicht ankreuzen.</translation>
    </message>
    <message>
        <source>Support bundle (*.tar.gz)|*.tar.gz</source>
        <translation>Supportpaket (*.tar.gz)|*.tar.gz</translation>
    </message>
    <message>
        <source>The support bundle could not be written to %1: %2.</source>
        <translation>Das Supportpaket konnte nicht in %1 geschrieben werden: %2.</translation>
    </message>
    <message>
        <source>Save Support Bundle</source>
        <translation>Supportpaket speichern</translation>
    </message>
    <message>
        <source>Support bundle saved: %1 (%2 files).</source>
        <translation>Supportpaket gespeichert: %1 (%2 Dateien).</translation>
    </message>
    <message>
        <source>Support bundle saved: %1 (%2 files; theater information and host names left out).</source>
        <translation>Supportpaket gespeichert: %1 (%2 Dateien; ohne Kinodaten und Hostnamen).</translation>
    </message>
    <message>
        <source>The editor did not end cleanly the last time it ran: it may have crashed, been killed, or lost its power.</source>
        <translation>Der Editor wurde beim letzten Lauf nicht sauber beendet: er ist vielleicht abgestürzt, wurde abgebrochen oder verlor die Stromversorgung.</translation>
    </message>
    <message>
        <source>The editor did not end cleanly the last time it ran (started %1): it may have crashed, been killed, or lost its power.</source>
        <translation>Der Editor wurde beim letzten Lauf (gestartet %1) nicht sauber beendet: er ist vielleicht abgestürzt, wurde abgebrochen oder verlor die Stromversorgung.</translation>
    </message>
    <message>
        <source>

Its line trace is kept. Save a support bundle for the support desk now?</source>
        <translation>

Sein Leitungsprotokoll ist aufbewahrt. Jetzt ein Supportpaket für den Support speichern?</translation>
    </message>
    <message>
        <source>Unexpected End</source>
        <translation>Unerwartetes Ende</translation>
    </message>
</context>
<context>
    <name>Tabs</name>
    <message>
        <source>Do you want to set fader = 7.0?</source>
        <translation>Möchten Sie den Fader auf 7.0 setzen?</translation>
    </message>
    <message>
        <source>Fader=7.0?</source>
        <translation>Fader=7.0?</translation>
    </message>
</context>
<context>
    <name>Units</name>
    <message>
        <source>%1 kHz</source>
        <translation>%1 kHz</translation>
    </message>
    <message>
        <source>%1 Hz</source>
        <translation>%1 Hz</translation>
    </message>
    <message>
        <source>%1 dB</source>
        <translation>%1 dB</translation>
    </message>
    <message>
        <source>dB</source>
        <translation>dB</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
</context>
<context>
    <name>Upload</name>
    <message>
        <source>Are you sure you want to Upload the Current Settings?</source>
        <translation>Möchten Sie die aktuellen Einstellungen wirklich übertragen?</translation>
    </message>
    <message>
        <source>Confirm Upload!</source>
        <translation>Übertragung bestätigen!</translation>
    </message>
    <message>
        <source>Upload not completed: the unit is off line.</source>
        <translation>Übertragung nicht abgeschlossen: das Gerät ist offline.</translation>
    </message>
    <message>
        <source>system settings</source>
        <translation>Systemeinstellungen</translation>
    </message>
    <message>
        <source>audio settings</source>
        <translation>Audioeinstellungen</translation>
    </message>
    <message>
        <source>system and audio settings</source>
        <translation>System- und Audioeinstellungen</translation>
    </message>
    <message>
        <source>Uploaded to the unit at %1 %2: %3.</source>
        <translation>Um %1 %2 an das Gerät übertragen: %3.</translation>
    </message>
    <message>
        <source>Changed in the editor only: press Upload Settings to send it to the unit.</source>
        <translation>Nur im Editor geändert: Einstellungen übertragen sendet es an das Gerät.</translation>
    </message>
</context>
</TS>
