// SPDX-License-Identifier: GPL-3.0-or-later
#include "model/Edit.h"

#include <utility>

namespace tavero::model {

FieldSet differingFields(const GeneratorSettings& a, const GeneratorSettings& b) {
    FieldSet fields;
    for (std::size_t i = 0; i < kSettingsFieldCount; ++i) {
        fields[i] = settingsFields()[i].get(a) != settingsFields()[i].get(b);
    }
    return fields;
}

Edit Edit::fromDraft(const GeneratorSettings& base, const GeneratorSettings& draft,
                     std::string commands) {
    return {draft, differingFields(base, draft), std::move(commands)};
}

Edit Edit::whole(const GeneratorSettings& settings) {
    return {settings, FieldSet().set(), "p"};
}

Edit Edit::field(std::size_t index, std::int64_t value, std::string commands) {
    Edit edit{{}, FieldSet().set(index), std::move(commands)};
    settingsFields().at(index).set(edit.values, value);
    return edit;
}

Edit Edit::resend(std::string commands) {
    return {{}, {}, std::move(commands)};
}

}  // namespace tavero::model
