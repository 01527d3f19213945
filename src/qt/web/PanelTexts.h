// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QTranslator>
#include <span>
#include <string_view>

#include "qt/i18n/Language.h"

namespace tavero::qt {

/// A text of the page: its placeholder in the page's files and its German text.
struct PanelText {
    std::string_view key;
    std::string_view german;
};

/// Every text of the page, German as the window words it; translated through the catalogue.
std::span<const PanelText> panelTexts();

/// The language of the page for a browser's Accept-Language header: the most preferred
/// language decides, as the desktop's does for the window.
Language panelLanguage(const QByteArray& acceptLanguage);

/// The page's file with each {{key}} replaced by its text in the language of `catalogue`
/// (German when it is null), escaped for HTML.
QByteArray withPanelTexts(const QByteArray& page, const QTranslator* catalogue);

}  // namespace tavero::qt
