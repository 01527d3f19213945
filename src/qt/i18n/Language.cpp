// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/i18n/Language.h"

#include <QLocale>
#include <QString>

namespace tavero::qt {

Language languageFor(const QStringList& uiLanguages) {
    if (uiLanguages.isEmpty()) {
        return Language::German;
    }
    const QString& first = uiLanguages.front();
    if (first == QLatin1String("C") || first == QLatin1String("POSIX")) {
        return Language::German;
    }
    return QLocale(first).language() == QLocale::German ? Language::German : Language::English;
}

}  // namespace tavero::qt
