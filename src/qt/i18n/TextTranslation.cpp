// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/i18n/TextTranslation.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace tavero::qt {
namespace {

constexpr std::array<std::string_view, 10> kPatterns = {
    "Firmwareversion %1",
    "Datei \"Profile.pro\" konnte nicht gespeichert werden!\n%1",
    "Zieldatei kann nicht erzeugt werden!\nÜberprüfen Sie die Schreibrechte.\n\n%1",
    "%1, Dauer: %2 s",
    "Der Profilname enthält Zeichen, die in der Profildatei\nnicht gespeichert werden können: "
    "%1\n\nSie werden dort durch \"?\" ersetzt.\n\nMöchten Sie das Profil trotzdem speichern?",
    "Für den eingegebenen Offset ist eine Minimalfrequenz\noberhalb der Maximalfrequenz von %1 "
    "Hz notwendig\n\nErhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.",
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.25 Hz\nMinimalfrequenz: 0,25 Hz\nMaximalfrequenz: %1 Hz",
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.25 Hz\nMinimalfrequenz: %1 Hz\nMaximalfrequenz: %2 Hz",
    "%1 (Prozess %2) verwendet den Tavero bereits.\n\n"
    "Soll das Fenster von %1 nach vorne geholt werden?",
    "%1 (Prozess %2) verwendet den Tavero bereits.\n\n"
    "Beenden Sie %1, um den Tavero hier zu verbinden.",
};

struct CompiledPattern {
    std::string german;  ///< NUL-terminated for the translator
    QRegularExpression expression;
    /// The text between the placeholders, each of which a matching text holds: a cheap test
    /// that spares most texts the expression.
    QStringList fixedParts;

    bool matchesFixedParts(const QString& text) const {
        return std::all_of(fixedParts.begin(), fixedParts.end(),
                           [&text](const QString& part) { return text.contains(part); });
    }
};

bool isPlaceholder(const QString& text, qsizetype at) {
    return text[at] == QLatin1Char('%') && at + 1 < text.size() && text[at + 1].isDigit() &&
           text[at + 1] != QLatin1Char('0');
}

CompiledPattern compile(std::string_view german) {
    const QString pattern = QString::fromUtf8(german.data(), qsizetype(german.size()));
    QString expression;
    QStringList fixedParts;
    qsizetype fixedStart = 0;
    const auto takeFixedPart = [&](qsizetype end) {
        const QString part = pattern.mid(fixedStart, end - fixedStart);
        expression += QRegularExpression::escape(part);
        if (!part.isEmpty()) {
            fixedParts.append(part);
        }
    };
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (isPlaceholder(pattern, i)) {
            takeFixedPart(i);
            expression += QStringLiteral("(.*)");
            fixedStart = ++i + 1;
        }
    }
    takeFixedPart(pattern.size());
    return {std::string(german),
            QRegularExpression(QRegularExpression::anchoredPattern(expression)), fixedParts};
}

const std::vector<CompiledPattern>& compiledPatterns() {
    static const std::vector<CompiledPattern> compiled = [] {
        std::vector<CompiledPattern> patterns;
        for (const std::string_view pattern : kPatterns) {
            patterns.push_back(compile(pattern));
        }
        return patterns;
    }();
    return compiled;
}

// One pass, so that a variable part holding "%1" stays as it is.
QString substituted(const QString& pattern, const QStringList& parts) {
    QString text;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (isPlaceholder(pattern, i)) {
            const auto index = static_cast<qsizetype>(pattern[i + 1].digitValue() - 1);
            text += index < parts.size() ? parts[index] : QString();
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace

std::span<const std::string_view> textPatterns() {
    return kPatterns;
}

namespace {

template <typename Translate>
QString translatedWith(std::string_view german, const Translate& translate) {
    const std::string key(german);
    const QString text = QString::fromStdString(key);
    const QString whole = translate(key.c_str());
    if (!whole.isEmpty() && whole != text) {
        return whole;
    }
    for (const CompiledPattern& pattern : compiledPatterns()) {
        if (!pattern.matchesFixedParts(text)) {
            continue;
        }
        const QRegularExpressionMatch match = pattern.expression.match(text);
        if (match.hasMatch()) {
            const QString translated = translate(pattern.german.c_str());
            return substituted(
                translated.isEmpty() ? QString::fromStdString(pattern.german) : translated,
                match.capturedTexts().mid(1));
        }
    }
    return text;
}

}  // namespace

QString translatedText(std::string_view german) {
    return translatedWith(german, [](const char* key) {
        return QCoreApplication::translate(kTranslationContext, key);
    });
}

QString translatedText(std::string_view german, const QTranslator* catalogue) {
    if (catalogue == nullptr) {
        return QString::fromUtf8(german.data(), static_cast<qsizetype>(german.size()));
    }
    return translatedWith(german, [catalogue](const char* key) {
        return catalogue->translate(kTranslationContext, key);
    });
}

}  // namespace tavero::qt
