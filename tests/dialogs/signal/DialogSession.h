// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "HeadlessHost.h"
#include "HeadlessWindow.h"
#include "SimulatedConnection.h"
#include "core/GeneratorSettings.h"
#include "model/GeneratorModel.h"
#include "res/StandardIds.h"
#include "ui/MessageBox.h"

namespace tavero::dialogs {

using Bytes = std::vector<std::uint8_t>;

/// A settings dialog opened by a connected main window with `settings`, driven on a headless
/// host against a simulated generator of its own.
template <typename Dialog>
class DialogSession {
    /// The PLL dialog edits a record of the window's, following the model; the others the model's.
    static constexpr bool kEditsRecord =
        std::is_constructible_v<Dialog, GeneratorSettings&, model::GeneratorModel&>;

public:
    explicit DialogSession(const GeneratorSettings& initial)
        : record_(initial),
          settings(kEditsRecord ? (connection.hold(initial), record_) : connection.hold(initial)),
          dialog(make()),
          window(host.open(dialog)) {}

    /// Types into the edit (which takes the focus) and presses Enter.
    void enter(int editId, std::string_view text) {
        window.type(editId, text);
        window.pressEnter();
    }
    /// Puts text into an edit, as pasting does, bypassing a digits-only filter, and presses
    /// Enter there.
    void enterPasted(int editId, std::string_view text) {
        window.setText(editId, text);
        window.setFocus(editId);
        window.pressEnter();
    }
    /// Answers the next message box with OK.
    void acceptNextBox() { host.answer(ui::Answer::Ok); }

    const std::vector<headless::HeadlessHost::MessageBoxRecord>& boxes() const {
        return host.messageBoxes();
    }
    std::string sentLetters() const { return connection.generator.receivedLetters(); }
    /// The values of the last command the generator received.
    Bytes lastArguments() const {
        const auto& received = connection.generator.received();
        return received.empty() ? Bytes{} : received.back().arguments;
    }

private:
    GeneratorSettings record_;

public:
    testing::SimulatedConnection connection;
    headless::HeadlessHost host;
    /// The record the dialog changed.
    const GeneratorSettings& settings;
    Dialog dialog;
    headless::HeadlessWindow& window;

private:
    Dialog make() {
        if constexpr (kEditsRecord) {
            return Dialog(record_, connection.model);
        } else {
            return Dialog(connection.model);
        }
    }
};

/// A warning box that refuses a typed value.
inline ui::MessageBoxRequest refusal(std::string_view text,
                                     std::string_view caption = "Ungültige Eingabe") {
    return {std::string(text), std::string(caption), ui::Icon::Warning, ui::Buttons::Ok};
}

/// The ways a user closes a settings dialog: its closing button, Escape, the close box.
struct CloseWay {
    const char* name;
    void (*close)(headless::HeadlessWindow& window);
};

inline constexpr std::array<CloseWay, 3> kCloseWays = {{
    {"button", [](headless::HeadlessWindow& w) { w.click(res::kIdCancel); }},
    {"Escape", [](headless::HeadlessWindow& w) { w.pressEscape(); }},
    {"close box", [](headless::HeadlessWindow& w) { w.pressCloseBox(); }},
}};

/// A text entered with Enter in one field, and what the field holds afterwards.
struct EntryCase {
    const char* typed;
    bool accepted;
    std::int64_t stored;  ///< the field's value afterwards
    const char* shown;    ///< the field's text afterwards
    bool pasted = false;  ///< put in past a digits-only filter
};

/// One field of a dialog that stores and sends what Enter accepts.
struct EntryField {
    const char* name;
    int editId;
    std::int64_t (*stored)(const GeneratorSettings&);
    std::string_view refusal;  ///< the text of the box that refuses a value
    std::vector<EntryCase> entries;
};

/// Enters each case in a dialog of its own opened with `initial`: the value stored, the text
/// shown, the one refusal box, the dialog still open, and the one command `letter` that
/// carried the stored value to the generator, after a refusal too.
template <typename Dialog>
void expectEntries(const GeneratorSettings& initial, const std::vector<EntryField>& fields,
                   std::string_view letter) {
    for (const EntryField& field : fields) {
        for (const EntryCase& c : field.entries) {
            SCOPED_TRACE(std::string(field.name) + " " + c.typed);
            DialogSession<Dialog> session(initial);
            if (!c.accepted) {
                session.acceptNextBox();
            }
            if (c.pasted) {
                session.enterPasted(field.editId, c.typed);
            } else {
                session.enter(field.editId, c.typed);
            }
            EXPECT_EQ(field.stored(session.settings), c.stored);
            EXPECT_EQ(session.window.text(field.editId), c.shown);
            if (c.accepted) {
                EXPECT_TRUE(session.boxes().empty());
            } else {
                ASSERT_EQ(session.boxes().size(), 1U);
                EXPECT_EQ(session.boxes()[0].box, refusal(field.refusal));
            }
            EXPECT_EQ(session.sentLetters(), letter);
            EXPECT_EQ(field.stored(session.connection.generator.settings()), c.stored);
            EXPECT_FALSE(session.window.ended());
        }
    }
}

/// A 32-bit value as it goes on the line.
inline Bytes bigEndian32(std::uint32_t value) {
    return {static_cast<std::uint8_t>(value >> 24), static_cast<std::uint8_t>(value >> 16),
            static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

}  // namespace tavero::dialogs
