#include "CatalogXml.h"

#include <QFile>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

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

} // namespace

pugi::xml_parse_result LoadFile(pugi::xml_document& document, const QString& path)
{
    return document.load_file(QFile::encodeName(path).constData(), pugi::parse_default, pugi::encoding_auto);
}

QString LoadErrorMessage(const QString& path, const pugi::xml_parse_result& result)
{
    switch (result.status) {
    case pugi::status_ok:
        return {};
    case pugi::status_file_not_found:
    case pugi::status_io_error:
        return u"Cannot read \"%1\"."_s.arg(path);
    case pugi::status_out_of_memory:
        return u"\"%1\" is too large to read."_s.arg(path);
    case pugi::status_no_document_element:
        return u"\"%1\" holds no XML element."_s.arg(path);
    default:
        break;
    }
    // The parser counts bytes; people count lines. Only a failed load pays for this.
    qint64 line = 1;
    qint64 column = 1;
    QFile file(path);
    if (result.offset > 0 && file.open(QIODevice::ReadOnly)) {
        const QByteArray head = file.read(result.offset);
        line += head.count('\n');
        column = head.size() - (head.lastIndexOf('\n') + 1) + 1;
    }
    return u"\"%1\" is not well-formed XML: %2 at line %3, column %4."_s
        .arg(path, QString::fromUtf8(result.description()))
        .arg(line)
        .arg(column);
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
