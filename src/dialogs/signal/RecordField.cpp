// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/signal/RecordField.h"

#include <algorithm>

#include "dialogs/signal/InputRefusal.h"
#include "ui/Window.h"

namespace tavero::dialogs {
namespace {

const SettingsField& settingsField(std::string_view key) {
    return settingsFields().at(settingsFieldIndex(key));
}

}  // namespace

std::string showRecordField(const RecordField& field, const GeneratorSettings& settings) {
    return field.field.show(settingsField(field.field.key).get(settings));
}

bool checkRecordField(const RecordField& field, GeneratorSettings& settings, FieldTexts& texts,
                      ui::Host& host) {
    std::string& text = texts[field.editId];
    const std::optional<std::int64_t> value = field.field.accept(text);
    if (value) {
        // Every rule's range lies within its field's width, so nothing is cut here.
        settingsField(field.field.key).set(settings, *value);
    } else {
        refuseInput(host, field.field.refusal);
    }
    text = showRecordField(field, settings);
    return value.has_value();
}

bool checkRecordFields(std::span<const RecordField> fields, GeneratorSettings& settings,
                       FieldTexts& texts, ui::Host& host) {
    return std::all_of(fields.begin(), fields.end(), [&](const RecordField& field) {
        return checkRecordField(field, settings, texts, host);
    });
}

void showChangedFields(std::span<const RecordField> fields, model::FieldSet changed,
                       const GeneratorSettings& settings, FieldTexts& texts, ui::Window& window) {
    for (const RecordField& field : fields) {
        std::string& text = texts[field.editId];
        if (changed[settingsFieldIndex(field.field.key)] && window.text(field.editId) == text) {
            text = showRecordField(field, settings);
            window.setText(field.editId, text);
        }
    }
}

void showValuesInEffect(std::span<const RecordField> fields, const GeneratorSettings& settings,
                        ui::Window& window) {
    for (const RecordField& field : fields) {
        window.setTextInEffect(field.editId, showRecordField(field, settings));
    }
}

const RecordField* findRecordField(std::span<const RecordField> fields, std::optional<int> editId) {
    const auto it = std::find_if(fields.begin(), fields.end(),
                                 [editId](const RecordField& f) { return editId == f.editId; });
    return it == fields.end() ? nullptr : &*it;
}

}  // namespace tavero::dialogs
