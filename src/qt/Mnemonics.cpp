// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/Mnemonics.h"

#include <QSet>

namespace tavero::qt {
namespace {

/// The index of the letter a text marks with "&", or -1.
qsizetype markedLetter(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && text[i + 1].isLetterOrNumber()) {
            return i + 1;
        }
    }
    return -1;
}

/// Word starts first, then every other letter, in reading order.
QList<qsizetype> candidates(const QString& text) {
    QList<qsizetype> starts;
    QList<qsizetype> others;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isLetterOrNumber()) {
            continue;
        }
        (i == 0 || !text[i - 1].isLetterOrNumber() ? starts : others).append(i);
    }
    return starts + others;
}

}  // namespace

QStringList withMnemonics(const QStringList& texts) {
    QSet<QChar> taken;
    for (const QString& text : texts) {
        if (const qsizetype marked = markedLetter(text); marked >= 0) {
            taken.insert(text[marked].toLower());
        }
    }
    QStringList marked;
    for (const QString& text : texts) {
        if (markedLetter(text) >= 0) {
            marked.append(text);
            continue;
        }
        QString shown = text;
        shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
        for (const qsizetype at : candidates(shown)) {
            if (!taken.contains(shown[at].toLower())) {
                taken.insert(shown[at].toLower());
                shown.insert(at, QLatin1Char('&'));
                break;
            }
        }
        marked.append(shown);
    }
    return marked;
}

}  // namespace tavero::qt
