// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Host.h"

#include <string>

namespace tavero::ui {

Answer Host::messageBox(std::string_view text, std::string_view caption, Icon icon,
                        Buttons buttons) {
    return showMessageBox({std::string(text),
                           std::string(caption.empty() ? kApplicationName : caption), icon,
                           buttons});
}

}  // namespace tavero::ui
