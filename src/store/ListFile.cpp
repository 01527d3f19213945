// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ListFile.h"

#include <algorithm>
#include <optional>

#include "store/AttributeConversions.h"
#include "store/text/FileProblem.h"
#include "store/text/Windows1252.h"
#include "store/xml/XmlReader.h"
#include "store/xml/XmlWriter.h"

namespace tavero::store {

LoadedList loadListFile(const std::filesystem::path& path, std::string_view listName,
                        std::uint32_t maxCount) {
    LoadedList loaded;
    const xml::DocNode top = xml::LoadFile(path, loaded.load);
    // The warning for an unmatched end tag fails too: the file is not what the program wrote.
    if (loaded.load.code != xml::LoadCode::NoError) {
        loaded.failure = ReadFailure::NotLoaded;
        return loaded;
    }
    loaded.list = xml::FindElement(top, listName);
    if (!loaded.list) {
        loaded.extent.list =
            xml::ElementCount(top) > 0 && xml::IsDeclaration(xml::ElementAt(top, 0))
                ? ListElement::InDeclaration
                : ListElement::Missing;
    }
    const std::optional<std::string> anzahl = xml::AttributeValue(loaded.list, "Anzahl");
    const std::int32_t announced = anzahl ? integerFromText(*anzahl) : 0;
    if (announced > 0) {
        loaded.count = static_cast<std::uint32_t>(announced);
    }
    if (loaded.count > maxCount) {
        loaded.failure = ReadFailure::CountAboveLimit;
        loaded.count = 0;
    }
    const std::size_t held = xml::ElementCount(loaded.list);
    // Data that ends inside an entry element leaves that entry without its later attributes.
    const bool lastEntryCut = loaded.load.openElementsAtEnd >= 2 && held > 0;
    loaded.extent.firstNotRead = std::min<std::size_t>(held - (lastEntryCut ? 1 : 0), loaded.count);
    if (loaded.load.endedAtNul) {
        loaded.extent.reason = PartReason::EndedAtNul;
    } else if (loaded.load.openElementsAtEnd > 0) {
        loaded.extent.reason = PartReason::EndedInsideElement;
    } else if (held < loaded.count) {
        loaded.extent.reason = PartReason::FewerThanAnnounced;
    } else if (held > loaded.count && loaded.failure == ReadFailure::None) {
        loaded.extent.reason = PartReason::MoreThanAnnounced;
    } else if (loaded.load.charactersLost) {
        loaded.extent.reason = PartReason::CharactersLost;
    }
    loaded.extent.inPart = loaded.extent.reason != PartReason::None;
    return loaded;
}

std::string listFileBytes(const xml::DocNode& top) {
    const std::string text = xml::WriteText(top, true);
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A name that holds CR LF already keeps it as it is: the file must not grow by a CR at
        // every save.
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            bytes += '\r';
        }
        bytes += text[i];
    }
    return bytes;
}

std::string numberedElementName(std::string_view prefix, std::size_t index) {
    return std::string(prefix) + std::to_string(index + 1);
}

void appendName(const xml::DocNode& element, std::string_view name) {
    xml::AppendText(element, text::windows1252FromUtf8(name));
}

std::string nameFromElement(const xml::DocNode& element) {
    const std::optional<std::string> text = xml::TextAt(element, 0);
    return text ? text::utf8FromWindows1252(*text) : std::string();
}

std::string loadFailureText(const xml::LoadResult& load) {
    using text::FileProblem;
    if (load.fileProblem != FileProblem::None && load.fileProblem != FileProblem::Missing) {
        return std::string(text::fileProblemText(load.fileProblem));
    }
    std::string text(xml::LoadCodeText(load.code));
    if (load.line > 0) {
        text +=
            " (line " + std::to_string(load.line) + ", column " + std::to_string(load.column) + ")";
    }
    return text;
}

std::string missingListText(ListElement list, std::string_view listName) {
    if (list == ListElement::InDeclaration) {
        return "starts with an XML declaration (<?xml ...?>), which these files do not have and "
               "which hides the " +
               std::string(listName) + " element";
    }
    return "holds no " + std::string(listName) + " element";
}

}  // namespace tavero::store
