// SPDX-License-Identifier: GPL-3.0-or-later
#include "ctl/LoadFailureText.h"

namespace tavero::ctl {

namespace {

std::string_view readInPartReason(store::PartReason reason) {
    using store::PartReason;
    switch (reason) {
        case PartReason::EndedAtNul:
            return "a 0 byte ends its data";
        case PartReason::EndedInsideElement:
            return "it ends inside an element";
        case PartReason::MoreThanAnnounced:
            return "it holds more entries than Anzahl announces, which a save leaves out";
        case PartReason::CharactersLost:
            return "it is UTF-16 with characters that Windows-1252 cannot hold, read as '?'";
        case PartReason::Blank:
            return "it is empty or blank, as no save leaves it";
        case PartReason::None:
        case PartReason::FewerThanAnnounced:
            break;
    }
    return "it holds fewer entries than Anzahl announces";
}

}  // namespace

std::string readInPartWarning(const std::filesystem::path& path, const store::ReadExtent& extent,
                              std::size_t count, EntryNoun noun) {
    if (!extent.inPart) {
        return {};
    }
    std::string text = "tavero-ctl: warning: " + path.string() + " was read only in part (" +
                       std::string(readInPartReason(extent.reason)) + ")";
    const std::size_t first = extent.firstNotRead + 1;
    if (first == count) {
        text +=
            "; " + std::string(noun.one) + ' ' + std::to_string(count) + " is not from the file";
    } else if (first < count) {
        text += "; " + std::string(noun.many) + ' ' + std::to_string(first) + " to " +
                std::to_string(count) + " are not from the file";
    }
    return text;
}

}  // namespace tavero::ctl
