// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/signal/FieldTexts.h"

#include <algorithm>
#include <stdexcept>

#include "ui/Window.h"

namespace tavero::dialogs {

FieldTexts::FieldTexts(std::initializer_list<int> editIds) {
    for (const int id : editIds) {
        texts_.emplace_back(id, std::string());
    }
}

void FieldTexts::readFrom(const ui::Window& window) {
    for (auto& [id, text] : texts_) {
        text = window.text(id);
    }
}

void FieldTexts::writeTo(ui::Window& window) const {
    for (const auto& [id, text] : texts_) {
        window.setText(id, text);
    }
}

std::string& FieldTexts::operator[](int editId) {
    return const_cast<std::string&>(std::as_const(*this)[editId]);
}

const std::string& FieldTexts::operator[](int editId) const {
    const auto it = std::find_if(texts_.begin(), texts_.end(),
                                 [editId](const auto& entry) { return entry.first == editId; });
    if (it == texts_.end()) {
        throw std::logic_error("no text buffer for edit " + std::to_string(editId));
    }
    return it->second;
}

}  // namespace tavero::dialogs
