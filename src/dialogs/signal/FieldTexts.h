// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace tavero::ui {
class Window;
}

namespace tavero::dialogs {

/// A dialog's own copy of its edits' texts. Handlers read all of them from the window first,
/// work on the copies and write all of them back last, so an edit a handler did not check
/// keeps what the user typed.
class FieldTexts {
public:
    explicit FieldTexts(std::initializer_list<int> editIds);

    void readFrom(const ui::Window& window);
    void writeTo(ui::Window& window) const;

    /// The text of edit `editId`; an id not given to the constructor is a fault of the logic.
    std::string& operator[](int editId);
    const std::string& operator[](int editId) const;

private:
    std::vector<std::pair<int, std::string>> texts_;
};

}  // namespace tavero::dialogs
