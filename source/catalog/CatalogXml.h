#pragma once

#include <QByteArray>
#include <QString>

#include <pugixml.hpp>

#include <cstdint>
#include <cstring>
#include <optional>

// What the catalog readers share: opening a file as an XML document and turning element
// texts and attribute values into the program's types.
//
// The parser is pugixml with its default options (see LoadFile). It never fetches anything
// a document refers to: a DOCTYPE and its entity declarations are skipped, and a reference to an
// entity other than the five predefined ones and character references stays in the text
// as it stands ("&name;"), so neither an entity-expansion bomb nor an external entity
// can make a reader use more than the file or open another file.
namespace CatalogXml {

// Parses the file into document. Empty when it is well-formed XML with one document
// element; otherwise a message that names the file (and the line and column of a syntax
// error): a missing or unreadable file or anything but a regular file, a syntax error, no
// element at all.
//
// Catalog files are UTF-8. UTF-16 and UTF-32 with a byte-order mark and ISO-8859-1 named in
// the XML declaration read as well; bytes that are not valid UTF-8 become U+FFFD in texts.
//
// pugixml leaves a few rules of XML to the caller. Two are checked here, so that a document
// breaking them is refused like any other malformed one: exactly one element at the top
// level (two catalog files glued together are not one catalog) and no text outside it.
// Two are not, because checking them would mean a second pass over every node of every
// list: an attribute repeated on one element reads as its first value, and characters
// that XML does not allow (control characters) are harmless text.
//
// A file larger than MaxFileSize is refused before it is parsed: a parsed document takes
// several times its size, and the largest list a catalog server sends is far below it.
std::optional<QString> LoadFile(pugi::xml_document& document, const QString& path);

// 16 MiB: the category list of the sample catalog is 2 KiB, its largest application list
// 11 KiB, and a list of 10,000 applications (what the benchmarks read) stays below it. A
// document parsed takes about three times its file.
constexpr qint64 MaxFileSize = 16 * 1024 * 1024;
// Whether the file at path is larger than MaxFileSize.
bool TooLarge(const QString& path);

// The element's text: all text and CDATA below it in document order, verbatim (no
// trimming), the way a DOM's text content reads.
QString ElementText(const pugi::xml_node& element);

// The element's text as UTF-8 bytes, without a copy where it is one piece of text.
QByteArray ElementTextUtf8(const pugi::xml_node& element);

// The first child element of each name, found in one pass over the children: found[i] is
// the first child named names[i], or a null node. A catalog entry asks for several names
// at once; child(name) would walk the children once per name.
template <size_t N>
void FirstChildren(const pugi::xml_node& parent, const char* const (&names)[N], pugi::xml_node (&found)[N])
{
    size_t missing = N;
    for (pugi::xml_node child = parent.first_child(); child && missing > 0; child = child.next_sibling()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* name = child.name();
        for (size_t i = 0; i < N; ++i) {
            if (!found[i] && std::strcmp(name, names[i]) == 0) {
                found[i] = child;
                --missing;
                break;
            }
        }
    }
}

// The attribute's value verbatim; empty when the attribute is missing.
QString AttributeText(const pugi::xml_attribute& attribute);

// A decimal 32-bit integer: optional blanks, an optional sign, digits, optional blanks.
// Nothing else: no hexadecimal, no fraction, nothing beyond the 32-bit range.
std::optional<int32_t> ToInteger(const char* text);

// A decimal floating-point number written with "." whatever the user's locale says (the
// catalog is written that way): optional blanks, an optional sign, digits with an optional
// fraction and exponent, optional blanks. Infinities, NaN and values beyond the type's
// range are not numbers here.
std::optional<float> ToSingle(const char* text);
std::optional<double> ToDouble(const char* text);

// Catalog flags are true only for the exact text "True".
bool ToFlag(const pugi::xml_attribute& attribute);

} // namespace CatalogXml
