// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace tavero::qt {

/// Passes what is written on to another stream buffer, each piece through `translate`. The
/// tool's logic writes every message as one piece (`errors << text << '\n'`), so a whole
/// message reaches `translate` at once while single characters pass unchanged.
class TranslatingStreamBuffer final : public std::streambuf {
public:
    using Translate = std::function<std::string(std::string_view)>;

    TranslatingStreamBuffer(std::streambuf& target, Translate translate)
        : target_(target), translate_(std::move(translate)) {}

protected:
    std::streamsize xsputn(const char* text, std::streamsize count) override;
    int_type overflow(int_type character) override;
    int sync() override { return target_.pubsync(); }

private:
    std::streambuf& target_;
    Translate translate_;
};

}  // namespace tavero::qt
