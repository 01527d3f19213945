// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/GeneratorSettings.h"
#include "store/xml/DocNode.h"

namespace tavero::store {

/// Appends the 17 settings as attributes named by their keys, in record order, each value in
/// decimal (signed for the signed fields).
void appendSettingsAttributes(const xml::DocNode& element, const GeneratorSettings& settings);

/// The settings held in an element's attributes, wherever they stand and whatever the letter
/// case of their names. Each is read as a "number" or an "integer" (see AttributeConversions.h)
/// and keeps the low bits that fit its field; a missing attribute takes the value of an empty
/// profile.
GeneratorSettings readSettingsAttributes(const xml::DocNode& element);

}  // namespace tavero::store
