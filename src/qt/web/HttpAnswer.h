// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <utility>
#include <vector>

namespace tavero::qt {

/// An HTTP header's name and value.
using HttpHeader = std::pair<QByteArray, QByteArray>;

/// An HTTP/1.1 answer with `status`, `headers` and Content-Length of `body`; the body itself only
/// when `withBody` (not for HEAD, whose answer names the length of the body GET would get).
QByteArray httpAnswer(int status, const std::vector<HttpHeader>& headers, const QByteArray& body,
                      bool withBody = true);

}  // namespace tavero::qt
