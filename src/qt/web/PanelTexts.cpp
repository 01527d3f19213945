// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/PanelTexts.h"

#include <QList>
#include <QStringList>
#include <algorithm>
#include <array>

#include "app/MainWindowTexts.h"
#include "qt/i18n/TextTranslation.h"

namespace tavero::qt {

namespace {

constexpr std::array<PanelText, 67> kTexts = {{
    {"title", "Tavero Frontplatte"},
    {"frequency", "Frequenz"},
    {"currentFrequency", app::kFrequencyLabel},
    {"frequencyEntry", "Frequenz (Hz)"},
    {"amplitude", "Amplitude"},
    {"amplitudePeak", "Amplitude (Peak To Peak)"},
    {"amplitudeEntry", "Amplitude (mV)"},
    {"directEntry", "Direkteingabe"},
    {"minimum", "Minimalfrequenz"},
    {"maximum", "Maximalfrequenz"},
    {"step", "Schrittweite"},
    {"stepUp", "Um die Schrittweite erhöhen"},
    {"stepDown", "Um die Schrittweite verringern"},
    {"digitUp", "Gewählte Stelle erhöhen"},
    {"digitDown", "Gewählte Stelle verringern"},
    {"digitHelp", "Stelle wählen; Pfeiltasten, Mausrad oder Wischen ändern sie"},
    {"waveform", "Signalform"},
    {"sine", "Sinus"},
    {"triangle", "Dreieck"},
    {"square", "Rechteck"},
    {"squareHalf", "Rechteck f/2"},
    {"mode", "Betriebsart"},
    {"standard", "Standard"},
    {"sweep", "Wobbeln"},
    {"modulation", "Modulation"},
    {"filterGroup", "Filtereinstellung"},
    {"filter", "Filter aktiviert"},
    {"sweepStart", "Startfrequenz"},
    {"sweepStop", "Stoppfrequenz"},
    {"sweepRate", "Wobbelfrequenz"},
    {"modulationRate", "Modulationsfrequenz"},
    {"phaseDeviation", "Phasenhub"},
    {"frequencyDeviation", "Frequenzhub"},
    {"depth", "Modulationshub"},
    {"am", "AM"},
    {"pm", "PM"},
    {"source", "Quelle"},
    {"internal", "intern"},
    {"external", "extern"},
    {"keying", "Art"},
    {"pll", "PLL-Einstellung"},
    {"pllFactor", "Teilungsfaktor"},
    {"pllOffset", "Offset"},
    {"apply", "Übernehmen"},
    {"taskList", "Aufgabenliste"},
    {"taskListFile", "Gespeicherte Aufgabenliste"},
    {"taskListUpload", "Aufgabenliste hochladen (.tvr)"},
    {"loop", "Schleife"},
    {"start", "Start"},
    {"stop", "Stopp"},
    {"currentTask", "aktuelle Aufgabe"},
    {"remaining", "Restdauer"},
    {"connection", "PC-Verbindung"},
    {"connect", app::kConnectButtonText},
    {"disconnect", app::kDisconnectButtonText},
    {"connected", "verbunden"},
    {"disconnected", "nicht verbunden"},
    {"unknown", "unbekannt"},
    {"serverLost", "Keine Verbindung zum Server, neuer Versuch läuft"},
    {"profiles", "Profil laden / speichern"},
    {"profileName", "Profilname"},
    {"load", "Laden"},
    {"store", "Speichern"},
    {"identity", "Gerät"},
    {"firmware", "Firmwareversion"},
    {"addresses", "Adressen"},
    {"taskListEnded", "Aufgabenliste beendet"},
}};

}  // namespace

std::span<const PanelText> panelTexts() {
    return kTexts;
}

Language panelLanguage(const QByteArray& acceptLanguage) {
    struct Preference {
        QString tag;
        double weight;
    };
    QList<Preference> preferences;
    for (const QByteArray& item : acceptLanguage.split(',')) {
        const QList<QByteArray> parts = item.split(';');
        const QString tag = QString::fromLatin1(parts.front().trimmed());
        double weight = 1.0;
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const QByteArray parameter = parts[i].trimmed();
            if (parameter.startsWith("q=")) {
                bool isNumber = false;
                weight = parameter.mid(2).toDouble(&isNumber);
                weight = isNumber ? weight : 0.0;
            }
        }
        if (!tag.isEmpty() && tag != QLatin1String("*") && weight > 0.0) {
            preferences.append({tag, weight});
        }
    }
    std::stable_sort(preferences.begin(), preferences.end(),
                     [](const Preference& a, const Preference& b) { return a.weight > b.weight; });
    QStringList tags;
    for (const Preference& preference : preferences) {
        tags.append(preference.tag);
    }
    return languageFor(tags);
}

QByteArray withPanelTexts(const QByteArray& page, const QTranslator* catalogue) {
    QByteArray filled = page;
    filled.replace("{{lang}}", catalogue == nullptr ? "de" : "en");
    for (const PanelText& text : kTexts) {
        const QByteArray placeholder =
            "{{" + QByteArray(text.key.data(), static_cast<qsizetype>(text.key.size())) + "}}";
        filled.replace(placeholder,
                       translatedText(text.german, catalogue).toHtmlEscaped().toUtf8());
    }
    return filled;
}

}  // namespace tavero::qt
