// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace tavero::scpi {

/// Bytes a client sent, made fit for an error text: every byte outside printable ASCII becomes
/// `\xhh`, so that the client sees what arrived whatever it was.
std::string escapedClientBytes(std::string_view bytes);

/// An answer as 7-bit ASCII, which IEEE 488.2 asks of string responses and clients decode by
/// default: the German letters of our UTF-8 texts transliterated (ä to ae, ß to ss), any other
/// byte outside printable ASCII but LF escaped as `\xhh`.
std::string asciiAnswer(std::string_view text);

}  // namespace tavero::scpi
