// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xml/XmlWriter.h"

#include "store/xml/Entities.h"
#include "store/xml/Node.h"

namespace tavero::store::xml {

namespace {

class Writer {
public:
    explicit Writer(bool indented) : indented_(indented) {}

    void element(const Node& node, int depth);
    /// `elementDepth` for child elements, `lineDepth` for texts and verbatim sections.
    void content(const Node& node, int elementDepth, int lineDepth);

    std::string take() { return std::move(out_); }

private:
    void startLine(int depth);
    void endLine();

    bool indented_;
    std::string out_;
};

void Writer::startLine(int depth) {
    if (indented_) {
        out_.append(static_cast<std::size_t>(depth), '\t');
    }
}

void Writer::endLine() {
    if (indented_) {
        out_ += '\n';
    }
}

void Writer::element(const Node& node, int depth) {
    startLine(depth);
    out_ += '<';
    if (node.declaration) {
        out_ += '?';
    }
    out_ += node.name.value_or("");
    for (const Attribute& attribute : node.attributes) {
        out_ += ' ';
        out_ += attribute.name;
        if (attribute.value) {
            out_ += "=\"";
            appendEscaped(out_, *attribute.value);
            out_ += '"';
        }
    }
    if (node.declaration) {
        out_ += "?>";
    } else if (node.hasContent()) {
        out_ += '>';
    } else {
        out_ += "/>";
        endLine();
        return;
    }
    endLine();
    // A declaration is no level of its own: what it holds is the rest of the document.
    content(node, node.declaration ? depth : depth + 1, depth + 1);
    if (!node.declaration) {
        startLine(depth);
        out_ += "</";
        out_ += *node.name;
        out_ += '>';
        endLine();
    }
}

void Writer::content(const Node& node, int elementDepth, int lineDepth) {
    for (const Entry& entry : node.order) {
        switch (entry.kind) {
            case EntryKind::Element:
                element(*node.elements[entry.index].get(), elementDepth);
                break;
            case EntryKind::Text: {
                const std::string& text = node.texts[entry.index];
                if (!text.empty()) {
                    startLine(lineDepth);
                    appendEscaped(out_, text);
                    endLine();
                }
                break;
            }
            case EntryKind::Verbatim: {
                const Verbatim& section = node.verbatims[entry.index];
                startLine(lineDepth);
                out_ += section.opening;
                out_ += section.content;
                out_ += section.closing;
                endLine();
                break;
            }
            case EntryKind::Attribute:
                break;  // written in the start tag
        }
    }
}

}  // namespace

std::string WriteText(const DocNode& node, bool indented) {
    if (node.isNull()) {
        return {};
    }
    Writer writer(indented);
    if (node.get()->name) {
        writer.element(*node.get(), 0);
    } else {
        writer.content(*node.get(), 0, 0);
    }
    return writer.take();
}

}  // namespace tavero::store::xml
