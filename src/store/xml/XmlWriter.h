// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "store/xml/DocNode.h"

namespace tavero::store::xml {

/// The document below `node` as XML text; nothing for a null handle. The top node writes only its
/// content; a named node writes itself as the outermost element.
///
/// The indented form, which the program's files use, puts every tag, text and verbatim section
/// on a line of its own, ended by a line feed and indented by one tab per level; an element
/// without content is written `<name/>`. The unindented form writes the same without tabs and
/// line feeds. Attribute values and texts get the five escapes; verbatim sections are written as
/// they are. No XML declaration, encoding or byte-order mark is added.
std::string WriteText(const DocNode& node, bool indented);

}  // namespace tavero::store::xml
