// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <ostream>

// Readable Qt strings in the failure messages of GoogleTest (found by argument lookup, so in
// Qt's namespace, the global one).
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
