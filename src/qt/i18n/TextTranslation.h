// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTranslator>
#include <span>
#include <string_view>

namespace tavero::qt {

/// The catalogue's one context: the logic's German texts are unique keys by themselves.
inline constexpr char kTranslationContext[] = "Tavero";

/// The texts the logic builds from a fixed part and variable parts (edit contents, numbers,
/// profile names), with %1, %2 … where the variable parts stand. Only the fixed part is
/// translated; the variable parts are kept as they are.
std::span<const std::string_view> textPatterns();

/// The logic's German text in the application's language: the catalogue's translation of the
/// whole text, else of the first pattern it matches, else the text itself.
QString translatedText(std::string_view german);

/// The same in the language of `catalogue` rather than the application's; a null catalogue
/// leaves the German text.
QString translatedText(std::string_view german, const QTranslator* catalogue);

}  // namespace tavero::qt
