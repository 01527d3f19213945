// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/i18n/TextTranslation.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

namespace tavero::qt {
namespace {

constexpr std::array<std::string_view, 6> kPatterns = {
    "Firmwareversion %1",
    "%1, Dauer: %2 s",
    "Der Profilname enthält Zeichen, die in der Profildatei\nnicht gespeichert werden können: "
    "%1\n\nSie werden dort durch \"?\" ersetzt.\n\nMöchten Sie das Profil trotzdem speichern?",
    "Für den eingegebenen Offset ist eine Minimalfrequenz\noberhalb der Maximalfrequenz von %1 "
    "Hz notwendig\n\nErhöhen Sie den Teilungsfaktor bzw. verringern Sie den Offset.",
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.25 Hz\nMinimalfrequenz: 0,25 Hz\nMaximalfrequenz: %1 Hz",
    "Bitte geben Sie einen Wert ein, der innerhalb der Grenzen liegt\n"
    "Auflösung: 0.25 Hz\nMinimalfrequenz: %1 Hz\nMaximalfrequenz: %2 Hz",
};

struct CompiledPattern {
    std::string german;  ///< NUL-terminated for the translator
    QRegularExpression expression;
};

bool isPlaceholder(const QString& text, qsizetype at) {
    return text[at] == QLatin1Char('%') && at + 1 < text.size() && text[at + 1].isDigit() &&
           text[at + 1] != QLatin1Char('0');
}

QRegularExpression expressionFor(const QString& pattern) {
    QString expression;
    qsizetype fixedStart = 0;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (isPlaceholder(pattern, i)) {
            expression += QRegularExpression::escape(pattern.mid(fixedStart, i - fixedStart)) +
                          QStringLiteral("(.*)");
            fixedStart = ++i + 1;
        }
    }
    expression += QRegularExpression::escape(pattern.mid(fixedStart));
    return QRegularExpression(QRegularExpression::anchoredPattern(expression));
}

const std::vector<CompiledPattern>& compiledPatterns() {
    static const std::vector<CompiledPattern> compiled = [] {
        std::vector<CompiledPattern> patterns;
        for (const std::string_view pattern : kPatterns) {
            const QString text = QString::fromUtf8(pattern.data(), qsizetype(pattern.size()));
            patterns.push_back({std::string(pattern), expressionFor(text)});
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

QString translatedText(std::string_view german) {
    const std::string key(german);
    const QString text = QString::fromStdString(key);
    const QString whole = QCoreApplication::translate(kTranslationContext, key.c_str());
    if (whole != text) {
        return whole;
    }
    for (const CompiledPattern& pattern : compiledPatterns()) {
        const QRegularExpressionMatch match = pattern.expression.match(text);
        if (match.hasMatch()) {
            return substituted(
                QCoreApplication::translate(kTranslationContext, pattern.german.c_str()),
                match.capturedTexts().mid(1));
        }
    }
    return text;
}

}  // namespace tavero::qt
