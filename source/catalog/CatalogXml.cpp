#include "CatalogXml.h"

#include <QFile>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
#include <unordered_set>

using namespace Qt::Literals::StringLiterals;

namespace CatalogXml {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text without surrounding blanks and without one leading "+", which from_chars does
// not take; a "-" stays for from_chars. Empty when nothing but a sign is left.
std::string_view NumberText(const char* text)
{
    std::string_view view(text ? text : "");
    while (!view.empty() && IsBlank(view.front()))
        view.remove_prefix(1);
    while (!view.empty() && IsBlank(view.back()))
        view.remove_suffix(1);
    if (!view.empty() && view.front() == '+') {
        view.remove_prefix(1);
        // "+-1" is not a number.
        if (!view.empty() && view.front() == '-')
            return {};
    }
    return view;
}

template <typename Number>
std::optional<Number> ToFloatingPoint(const char* text)
{
    const std::string_view view = NumberText(text);
    if (view.empty())
        return std::nullopt;
    Number value{};
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
    // from_chars also reads "inf" and "nan"; neither is a rating or a date.
    if (error != std::errc() || end != view.data() + view.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool IsText(const pugi::xml_node& node)
{
    return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The parser counts bytes; people count lines. Only a refused file pays for this.
QString Malformed(const QString& path, const QString& what, qint64 offset)
{
    qint64 line = 1;
    qint64 column = 1;
    QFile file(path);
    if (offset > 0 && file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(offset);
        line += head.count('\n');
        column = head.size() - (head.lastIndexOf('\n') + 1) + 1;
    }
    return u"\"%1\" is not well-formed XML: %2 at line %3, column %4."_s.arg(path, what)
        .arg(line)
        .arg(column);
}

// The name of an attribute that occurs twice on the element, or null.
const char* RepeatedAttribute(const pugi::xml_node& element)
{
    // Few attributes: compare each with those before it. Many: a set, so that an element
    // with a hundred thousand attributes does not cost ten billion comparisons.
    constexpr int kFew = 8;
    int count = 0;
    for (pugi::xml_attribute attribute = element.first_attribute(); attribute && count <= kFew;
         attribute = attribute.next_attribute())
        ++count;
    if (count <= kFew) {
        for (pugi::xml_attribute a = element.first_attribute(); a; a = a.next_attribute()) {
            for (pugi::xml_attribute b = element.first_attribute(); b != a; b = b.next_attribute()) {
                if (std::strcmp(a.name(), b.name()) == 0)
                    return a.name();
            }
        }
        return nullptr;
    }
    std::unordered_set<std::string_view> names;
    for (pugi::xml_attribute attribute = element.first_attribute(); attribute;
         attribute = attribute.next_attribute()) {
        if (!names.insert(attribute.name()).second)
            return attribute.name();
    }
    return nullptr;
}

std::optional<QString> StructureError(const pugi::xml_document& document, const QString& path)
{
    int elements = 0;
    for (const pugi::xml_node& node : document.children()) {
        if (IsText(node))
            return Malformed(path, u"Text outside the document element"_s, node.offset_debug());
        if (node.type() == pugi::node_element && ++elements > 1)
            return Malformed(path, u"More than one document element"_s, node.offset_debug());
    }
    if (elements == 0)
        return u"\"%1\" holds no XML element."_s.arg(path);
    // Every element in document order, without recursion.
    const pugi::xml_node root = document.document_element();
    pugi::xml_node node = root;
    while (node) {
        if (const char* name = RepeatedAttribute(node))
            return Malformed(path, u"Attribute \"%1\" repeated"_s.arg(QString::fromUtf8(name)),
                             node.offset_debug());
        pugi::xml_node next = node.first_child();
        while (next && next.type() != pugi::node_element)
            next = next.next_sibling();
        if (!next) {
            // Up until an element has a following sibling element.
            for (pugi::xml_node up = node; up && up != root && !next; up = up.parent()) {
                next = up.next_sibling();
                while (next && next.type() != pugi::node_element)
                    next = next.next_sibling();
            }
        }
        node = next;
    }
    return std::nullopt;
}

} // namespace

std::optional<QString> LoadFile(pugi::xml_document& document, const QString& path)
{
    // As a fragment, text at the top level stays in the tree instead of vanishing unseen, so
    // that StructureError can refuse it.
    const pugi::xml_parse_result result = document.load_file(
        QFile::encodeName(path).constData(), pugi::parse_default | pugi::parse_fragment, pugi::encoding_auto);
    switch (result.status) {
    case pugi::status_ok:
        return StructureError(document, path);
    case pugi::status_file_not_found:
    case pugi::status_io_error:
        return u"Cannot read \"%1\"."_s.arg(path);
    case pugi::status_out_of_memory:
        return u"\"%1\" is too large to read."_s.arg(path);
    default:
        return Malformed(path, QString::fromUtf8(result.description()), result.offset);
    }
}

QString ElementText(const pugi::xml_node& element)
{
    // The usual case, one text child, needs no gathering.
    const pugi::xml_node first = element.first_child();
    if (!first)
        return {};
    if (IsText(first) && !first.next_sibling())
        return QString::fromUtf8(first.value());

    // Walk the subtree without recursion: a deeply nested element must not exhaust the stack.
    QByteArray text;
    pugi::xml_node node = first;
    while (node && node != element) {
        if (IsText(node))
            text.append(node.value());
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != element && !node.next_sibling())
            node = node.parent();
        if (node != element)
            node = node.next_sibling();
    }
    return QString::fromUtf8(text);
}

QString AttributeText(const pugi::xml_attribute& attribute)
{
    return QString::fromUtf8(attribute.value());
}

std::optional<int32_t> ToInteger(const char* text)
{
    const std::string_view view = NumberText(text);
    if (view.empty())
        return std::nullopt;
    int32_t value = 0;
    const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value, 10);
    if (error != std::errc() || end != view.data() + view.size())
        return std::nullopt;
    return value;
}

std::optional<float> ToSingle(const char* text)
{
    return ToFloatingPoint<float>(text);
}

std::optional<double> ToDouble(const char* text)
{
    return ToFloatingPoint<double>(text);
}

bool ToFlag(const pugi::xml_attribute& attribute)
{
    return std::strcmp(attribute.value(), "True") == 0;
}

} // namespace CatalogXml
