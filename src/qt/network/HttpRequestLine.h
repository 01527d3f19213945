// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace tavero::qt {

/// Whether a line a client sent belongs to an HTTP request: on the first line, a request line
/// (`POST /x HTTP/1.1`, any method); on any line, a `Host:` or `Origin:` header. A web page can
/// make the browser send such a request to the instrument port, with SCPI in its body.
bool isHttpRequestLine(std::string_view line, bool firstLine);

}  // namespace tavero::qt
