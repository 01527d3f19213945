// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace tavero::qt {

/// The texts of one menu (or menu bar) with a mnemonic each, as the translation shown reads:
/// a text that marks its own letter with "&" keeps it; the others take the first letter of a
/// word, else any letter, that no other text took, and show their own "&" as it is. A text
/// without a free letter gets none.
QStringList withMnemonics(const QStringList& texts);

}  // namespace tavero::qt
