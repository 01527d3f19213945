// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/GeneratorSettings.h"
#include "dialogs/signal/FieldTexts.h"
#include "model/Edit.h"
#include "model/TypedField.h"

namespace tavero::ui {
class Host;
class Window;
}  // namespace tavero::ui

namespace tavero::dialogs {

/// A field of the settings record that a dialog edits in one of its edits and stores as soon
/// as a typed value is accepted.
struct RecordField {
    int editId;
    model::TypedField field;
};

/// The record's value as the field's edit shows it.
std::string showRecordField(const RecordField& field, const GeneratorSettings& settings);

/// Checks the field's text. Accepted: the value is stored and the text shows it formatted.
/// Refused: the rule's message in a warning box; the record keeps its value and the text shows
/// that value again.
bool checkRecordField(const RecordField& field, GeneratorSettings& settings, FieldTexts& texts,
                      ui::Host& host);

/// Checks the fields in order up to the first one refused, so at most one message is shown and
/// the fields after it are neither checked nor stored.
bool checkRecordFields(std::span<const RecordField> fields, GeneratorSettings& settings,
                       FieldTexts& texts, ui::Host& host);

/// Shows the values of the fields in `changed` that another front end set, in the edits the user
/// has not typed into since the dialog last wrote them.
void showChangedFields(std::span<const RecordField> fields, model::FieldSet changed,
                       const GeneratorSettings& settings, FieldTexts& texts, ui::Window& window);

/// Tells the window which texts show the record's values, so that a typed text not yet applied
/// stands out.
void showValuesInEffect(std::span<const RecordField> fields, const GeneratorSettings& settings,
                        ui::Window& window);

/// The field edited in `editId`, or nullptr.
const RecordField* findRecordField(std::span<const RecordField> fields, std::optional<int> editId);

}  // namespace tavero::dialogs
