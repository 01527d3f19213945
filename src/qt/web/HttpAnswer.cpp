// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/web/HttpAnswer.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tavero::qt {

namespace {

struct Reason {
    int status;
    std::string_view text;
};

/// The reason phrases of the answers the front panel gives.
constexpr std::array<Reason, 13> kReasons = {{
    {200, "OK"},
    {400, "Bad Request"},
    {401, "Unauthorized"},
    {403, "Forbidden"},
    {404, "Not Found"},
    {405, "Method Not Allowed"},
    {413, "Content Too Large"},
    {421, "Misdirected Request"},
    {422, "Unprocessable Content"},
    {429, "Too Many Requests"},
    {500, "Internal Server Error"},
    {503, "Service Unavailable"},
    {505, "HTTP Version Not Supported"},
}};

}  // namespace

QByteArray httpAnswer(int status, const std::vector<HttpHeader>& headers, const QByteArray& body,
                      bool withBody) {
    const auto* reason =
        std::find_if(kReasons.begin(), kReasons.end(),
                     [status](const Reason& known) { return known.status == status; });
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status);
    if (reason != kReasons.end()) {
        answer +=
            ' ' + QByteArray(reason->text.data(), static_cast<qsizetype>(reason->text.size()));
    }
    answer += "\r\n";
    for (const auto& [name, value] : headers) {
        answer += name + ": " + value + "\r\n";
    }
    answer += "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n";
    if (withBody) {
        answer += body;
    }
    return answer;
}

}  // namespace tavero::qt
