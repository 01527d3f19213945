// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeadlessPrinters.h"

#include <array>
#include <string_view>

namespace tavero::res {

void PrintTo(const Picture& picture, std::ostream* out) {
    static constexpr std::array<std::string_view, 7> kNames = {
        "none", "digit", "blank", "decimal point", "USB inactive", "USB active", "logo"};
    *out << kNames.at(static_cast<std::size_t>(picture.kind()));
    if (picture.kind() == Picture::Kind::Digit) {
        *out << ' ' << picture.digitValue();
    }
    if (picture.hasDecimalPoint() && picture.kind() != Picture::Kind::DecimalPoint) {
        *out << " with point";
    }
}

}  // namespace tavero::res

namespace tavero::ui {

void PrintTo(Answer answer, std::ostream* out) {
    static constexpr std::array<std::string_view, 4> kNames = {"Ok", "Cancel", "Yes", "No"};
    *out << kNames.at(static_cast<std::size_t>(answer));
}

void PrintTo(Icon icon, std::ostream* out) {
    static constexpr std::array<std::string_view, 5> kNames = {"None", "Information", "Warning",
                                                               "Question", "Error"};
    *out << kNames.at(static_cast<std::size_t>(icon));
}

void PrintTo(const MessageBoxRequest& box, std::ostream* out) {
    static constexpr std::array<std::string_view, 4> kButtons = {"Ok", "OkCancel", "YesNo",
                                                                 "YesNoCancel"};
    *out << "{caption \"" << box.caption << "\", text \"" << box.text << "\", icon ";
    PrintTo(box.icon, out);
    *out << ", buttons " << kButtons.at(static_cast<std::size_t>(box.buttons)) << '}';
}

}  // namespace tavero::ui
