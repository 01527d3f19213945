// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace tavero::qt {

/// The languages the program speaks; German is its own, English is the catalogue.
enum class Language { German, English };

/// The desktop's first language decides: German for German and for the C and POSIX locales
/// (which name no language), English for every other.
/// @param uiLanguages as QLocale::uiLanguages() lists them, most preferred first
Language languageFor(const QStringList& uiLanguages);

}  // namespace tavero::qt
