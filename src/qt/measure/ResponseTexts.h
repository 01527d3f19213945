// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The frequency response dialog's German texts: the catalogue's keys, translated where they
// reach a widget. %1, %2 … stand for numbers and names filled in there.

namespace tavero::qt::texts {

inline constexpr char kTitle[] = "Frequenzgang";
inline constexpr char kScopeGroup[] = "Oszilloskop";
inline constexpr char kAddress[] = "Adresse";
inline constexpr char kSearch[] = "Suchen";
inline constexpr char kSearching[] = "Suche Oszilloskope im Netz …";
inline constexpr char kFoundNone[] = "Kein Oszilloskop gefunden.";
inline constexpr char kFound[] = "%1 Oszilloskop(e) gefunden.";
inline constexpr char kInputChannel[] = "Kanal am Eingang";
inline constexpr char kOutputChannel[] = "Kanal am Ausgang";
inline constexpr char kSweepGroup[] = "Messbereich";
inline constexpr char kFrom[] = "Startfrequenz";
inline constexpr char kTo[] = "Stoppfrequenz";
inline constexpr char kPointsPerDecade[] = "Punkte je Dekade";
inline constexpr char kPointsLinear[] = "Punkte, linear verteilt";
inline constexpr char kAmplitude[] = "Amplitude";
inline constexpr char kSettle[] = "Einschwingzeit";
inline constexpr char kMethod[] = "Verfahren";
inline constexpr char kCapture[] = "Kurven lesen (DFT)";
inline constexpr char kMeasure[] = "Messungen des Oszilloskops";
inline constexpr char kStart[] = "Start";
inline constexpr char kCancel[] = "Abbrechen";
inline constexpr char kClose[] = "Schließen";
inline constexpr char kExportCsv[] = "CSV speichern …";
inline constexpr char kExportPng[] = "PNG speichern …";
inline constexpr char kExportSvg[] = "SVG speichern …";
inline constexpr char kFrequencyAxis[] = "Frequenz (Hz)";
inline constexpr char kMagnitudeAxis[] = "Betrag (dB)";
inline constexpr char kPhaseAxis[] = "Phase (°)";
inline constexpr char kMagnitude[] = "Betrag";
inline constexpr char kPhase[] = "Phase";
inline constexpr char kConnecting[] = "Verbinde mit %1 …";
inline constexpr char kConnected[] = "%1 (%2)";
inline constexpr char kProgress[] = "Punkt %1 von %2: %3 Hz";
inline constexpr char kExcluded[] = "Punkt %1 von %2: %3 Hz, %4";
inline constexpr char kFinished[] = "Fertig: %1 Punkte, davon %2 ohne Wert.";
inline constexpr char kStopped[] = "Abgebrochen nach %1 von %2 Punkten.";
inline constexpr char kGeneratorFailed[] =
    "Der Generator hat einen Befehl nicht ausgeführt; %1 von %2 Punkten gemessen.";
inline constexpr char kScopeLost[] =
    "Das Oszilloskop antwortet nicht mehr (%1); %2 von %3 Punkten gemessen.";
inline constexpr char kScopeUnreachable[] = "Das Oszilloskop unter %1 ist nicht erreichbar: %2";
inline constexpr char kNoMeasurements[] =
    "Dieses Oszilloskop hat keine Messungen, die das Programm nutzen kann. Bitte lesen Sie die "
    "Kurven.";
inline constexpr char kCorner[] = "−3 dB bei %1 Hz, Phase %2°";
inline constexpr char kCentre[] = "Mitte des Bandes %1 Hz";
inline constexpr char kCursor[] = "%1 Hz: %2 dB, %3°";
inline constexpr char kSaveFailed[] = "Die Datei konnte nicht gespeichert werden:\n%1";
inline constexpr char kSaveCaption[] = "Speichern";

}  // namespace tavero::qt::texts
