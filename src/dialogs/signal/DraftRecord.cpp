// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/signal/DraftRecord.h"

#include <utility>

namespace tavero::dialogs {

model::Edit DraftRecord::edit(std::string commands) {
    model::Edit changes = model::Edit::fromDraft(base_, draft_, std::move(commands));
    base_ = draft_;
    return changes;
}

model::FieldSet DraftRecord::follow(const GeneratorSettings& current, model::FieldSet fields) {
    return followModel(base_, draft_, current, fields);
}

model::FieldSet followModel(GeneratorSettings& base, GeneratorSettings& draft,
                            const GeneratorSettings& current, model::FieldSet fields) {
    const model::FieldSet userChanged = model::differingFields(base, draft);
    model::FieldSet taken;
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        if (!fields[i]) {
            continue;
        }
        const SettingsField& field = settingsFields()[i];
        field.set(base, field.get(current));
        if (!userChanged[i]) {
            field.set(draft, field.get(current));
            taken.set(i);
        }
    }
    return taken;
}

}  // namespace tavero::dialogs
