// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/i18n/TranslatingStreamBuffer.h"

namespace tavero::qt {

std::streamsize TranslatingStreamBuffer::xsputn(const char* text, std::streamsize count) {
    const std::string translated = translate_(std::string_view(text, static_cast<size_t>(count)));
    const auto size = static_cast<std::streamsize>(translated.size());
    return target_.sputn(translated.data(), size) == size ? count : 0;
}

TranslatingStreamBuffer::int_type TranslatingStreamBuffer::overflow(int_type character) {
    if (traits_type::eq_int_type(character, traits_type::eof())) {
        return traits_type::not_eof(character);
    }
    return target_.sputc(traits_type::to_char_type(character));
}

}  // namespace tavero::qt
