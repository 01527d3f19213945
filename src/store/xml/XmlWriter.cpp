// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/XmlWriter.h"

#include <algorithm>

#include "store/xml/Entities.h"
#include "store/xml/Node.h"

namespace tavero::store::xml {

namespace {

/// The first pass: how many bytes the text takes, so that it is written into one buffer.
class SizeSink {
public:
    void put(char) { ++size_; }
    void put(std::string_view text) { size_ += text.size(); }
    void putEscaped(std::string_view text) { size_ += escapedSize(text); }
    void putTabs(std::size_t count) { size_ += count; }

    std::size_t size() const { return size_; }

private:
    std::size_t size_ = 0;
};

/// The second pass, into a buffer the first pass sized.
class CopySink {
public:
    explicit CopySink(char* out) : out_(out) {}

    void put(char c) { *out_++ = c; }
    void put(std::string_view text) { out_ = std::copy(text.begin(), text.end(), out_); }
    void putEscaped(std::string_view text) { out_ = copyEscaped(out_, text); }
    void putTabs(std::size_t count) { out_ = std::fill_n(out_, count, '\t'); }

private:
    char* out_;
};

template <typename Sink>
class Writer {
public:
    Writer(Sink& sink, bool indented) : sink_(sink), indented_(indented) {}

    void element(const Node& node, int depth);
    /// `elementDepth` for child elements, `lineDepth` for texts and verbatim sections.
    void content(const Node& node, int elementDepth, int lineDepth);

private:
    void startLine(int depth);
    void endLine();

    Sink& sink_;
    bool indented_;
};

template <typename Sink>
void Writer<Sink>::startLine(int depth) {
    if (indented_) {
        sink_.putTabs(static_cast<std::size_t>(depth));
    }
}

template <typename Sink>
void Writer<Sink>::endLine() {
    if (indented_) {
        sink_.put('\n');
    }
}

template <typename Sink>
void Writer<Sink>::element(const Node& node, int depth) {
    startLine(depth);
    sink_.put('<');
    if (node.declaration) {
        sink_.put('?');
    }
    sink_.put(node.name.value_or(""));
    for (const Attribute& attribute : node.attributes) {
        sink_.put(' ');
        sink_.put(attribute.name);
        if (attribute.value) {
            sink_.put("=\"");
            sink_.putEscaped(*attribute.value);
            sink_.put('"');
        }
    }
    if (node.declaration) {
        sink_.put("?>");
    } else if (node.hasContent()) {
        sink_.put('>');
    } else {
        sink_.put("/>");
        endLine();
        return;
    }
    endLine();
    // A declaration is no level of its own: what it holds is the rest of the document.
    content(node, node.declaration ? depth : depth + 1, depth + 1);
    if (!node.declaration) {
        startLine(depth);
        sink_.put("</");
        sink_.put(*node.name);
        sink_.put('>');
        endLine();
    }
}

template <typename Sink>
void Writer<Sink>::content(const Node& node, int elementDepth, int lineDepth) {
    for (const Entry& entry : node.order) {
        switch (entry.kind) {
            case EntryKind::Element:
                element(*node.elements[entry.index], elementDepth);
                break;
            case EntryKind::Text: {
                const std::string_view text = node.texts[entry.index];
                if (!text.empty()) {
                    startLine(lineDepth);
                    sink_.putEscaped(text);
                    endLine();
                }
                break;
            }
            case EntryKind::Verbatim: {
                const Verbatim& section = node.verbatims[entry.index];
                startLine(lineDepth);
                sink_.put(section.opening);
                sink_.put(section.content);
                sink_.put(section.closing);
                endLine();
                break;
            }
        }
    }
}

template <typename Sink>
void write(Sink& sink, const Node& node, bool indented) {
    Writer<Sink> writer(sink, indented);
    if (node.name) {
        writer.element(node, 0);
    } else {
        writer.content(node, 0, 0);
    }
}

}  // namespace

std::string WriteText(const DocNode& node, bool indented) {
    if (node.isNull()) {
        return {};
    }
    SizeSink size;
    write(size, *node.get(), indented);
    std::string text(size.size(), '\0');
    CopySink copy(text.data());
    write(copy, *node.get(), indented);
    return text;
}

}  // namespace tavero::store::xml
