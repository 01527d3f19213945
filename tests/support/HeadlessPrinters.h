// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>

#include "res/Picture.h"
#include "ui/MessageBox.h"

// Readable values in the failure messages of GoogleTest.

namespace tavero::res {
void PrintTo(const Picture& picture, std::ostream* out);
}  // namespace tavero::res

namespace tavero::ui {
void PrintTo(const MessageBoxRequest& box, std::ostream* out);
void PrintTo(Answer answer, std::ostream* out);
void PrintTo(Icon icon, std::ostream* out);
}  // namespace tavero::ui
