// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace tavero::ui {

/// The caption of message boxes that have none of their own.
inline constexpr std::string_view kApplicationName = "Tavero";

enum class Icon { None, Information, Warning, Question, Error };

/// The buttons of a message box; their texts are German ("OK", "Abbrechen", "Ja", "Nein").
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };

/// The button that closed a message box.
enum class Answer { Ok, Cancel, Yes, No };

/// Whether a box with these buttons can give this answer.
constexpr bool offers(Buttons buttons, Answer answer) {
    switch (buttons) {
        case Buttons::Ok:
            return answer == Answer::Ok;
        case Buttons::OkCancel:
            return answer == Answer::Ok || answer == Answer::Cancel;
        case Buttons::YesNo:
            return answer == Answer::Yes || answer == Answer::No;
        case Buttons::YesNoCancel:
            return answer != Answer::Ok;
    }
    return false;
}

/// A message box as it is shown.
struct MessageBoxRequest {
    std::string text;     ///< UTF-8; "\n" breaks lines
    std::string caption;  ///< never empty: the application's name stands in for none
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;

    friend bool operator==(const MessageBoxRequest&, const MessageBoxRequest&) = default;
};

}  // namespace tavero::ui
