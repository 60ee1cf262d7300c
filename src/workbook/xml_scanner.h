#pragma once

#include "workbook/zip_parts.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace gradecast {

// A pull reader of an archive part's XML, for the sheets of tens of megabytes
// that QXmlStreamReader reads too slowly: names, attribute values and text are
// views of the UTF-8 bytes, valid until the next call, and nothing is
// converted until a cell wants it. It reads whatever well-formed XML a
// spreadsheet program writes: the predefined and character entities, CDATA
// sections, comments, processing instructions, either quote around values.
// What is no well-formed XML (tags that do not nest, a cut-off end, an
// unknown entity) and a document type declaration, which could define its
// own entities, refuse the file as damaged.
class XmlScanner {
public:
    enum Token { StartElement, EndElement, Characters, EndDocument };

    explicit XmlScanner(ZipPart &part);

    Token next();
    // The start or end element's name as written, prefix included.
    std::string_view name() const { return m_name; }
    // Its name without the prefix: for parts whose producers differ in prefixes
    // and whose element names are unique in the part anyway.
    std::string_view localName() const;
    // The start element's attribute by its name as written, entities
    // resolved; empty when it has none.
    std::string_view attribute(std::string_view name);
    std::string_view text() const { return m_text; }
    // From a start element to past its end.
    void skipElement();
    // From a start element to past its end, the text in it appended.
    void appendElementText(std::string &text);
    // The prefix the root element gives a namespace, "" when it is the default
    // one; a namespace the root does not declare gives a prefix no name has.
    std::string prefixOf(std::string_view uri) const;

private:
    struct Attribute {
        std::string_view name;
        std::string_view value;
    };

    bool scanMarkup(Token &token);
    bool scanText();
    bool scanStartTag();
    bool scanEndTag();
    bool skipPast(std::size_t from, std::string_view end);
    bool fill();
    std::string_view decoded(std::string_view raw, std::string &out);

    ZipPart &m_part;
    std::vector<char> m_bytes;
    std::size_t m_position = 0;
    std::size_t m_end = 0;
    bool m_atEnd = false;
    bool m_closePending = false;
    bool m_rootSeen = false;
    std::string_view m_name;
    std::string_view m_text;
    std::string m_textStore;
    std::vector<Attribute> m_attributes;
    std::vector<std::string> m_values;
    // Open elements, their names kept in strings reused from element to element.
    std::vector<std::string> m_open;
    std::size_t m_depth = 0;
    std::vector<std::pair<std::string, std::string>> m_namespaces;
};

// Text without the spaces XML allows around a value.
std::string_view TrimmedXmlSpace(std::string_view text);

// An integer as an attribute or element writes it, spaces around it allowed;
// none for other text or one past a long long.
std::optional<long long> XmlInteger(std::string_view text);

// "table" + "table-cell" -> "table:table-cell"; without a prefix the name alone.
std::string QualifiedName(std::string_view prefix, std::string_view local);

} // namespace gradecast
