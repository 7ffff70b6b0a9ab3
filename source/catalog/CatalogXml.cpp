#include "CatalogXml.h"

#include <QFile>
#include <QFileInfo>

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

// Calls take(text) for every text and CDATA piece below the element, in document order.
template <typename Take>
void ForEachText(const pugi::xml_node& element, Take take)
{
    // Without recursion: a deeply nested element must not exhaust the stack.
    pugi::xml_node node = element.first_child();
    while (node && node != element) {
        if (IsText(node))
            take(node.value());
        if (node.first_child()) {
            node = node.first_child();
            continue;
        }
        while (node != element && !node.next_sibling())
            node = node.parent();
        if (node != element)
            node = node.next_sibling();
    }
}

// The text when the element holds exactly one piece of text, which is the usual case.
const char* SingleText(const pugi::xml_node& element)
{
    const pugi::xml_node first = element.first_child();
    return first && IsText(first) && !first.next_sibling() ? first.value() : nullptr;
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
    // A catalog file is a few levels deep; one nested endlessly is no catalog, and the
    // readers' walks down the tree must not follow it. Walked without recursion.
    constexpr int kMaxDepth = 32;
    int depth = 0;
    pugi::xml_node node = document.first_child();
    while (node) {
        if (node.first_child()) {
            node = node.first_child();
            if (++depth > kMaxDepth)
                return Malformed(path, u"Elements nested more than %1 deep"_s.arg(kMaxDepth),
                                 node.offset_debug());
            continue;
        }
        while (node && !node.next_sibling()) {
            node = node.parent();
            --depth;
        }
        if (node)
            node = node.next_sibling();
    }
    return std::nullopt;
}

} // namespace

bool TooLarge(const QString& path)
{
    return QFileInfo(path).size() > MaxFileSize;
}

std::optional<QString> LoadFile(pugi::xml_document& document, const QString& path)
{
    // pugixml would take a folder for a file of endless size and wait on a pipe forever.
    if (!QFileInfo(path).isFile())
        return u"Cannot read \"%1\"."_s.arg(path);
    if (TooLarge(path))
        return u"\"%1\" is larger than %2 MB and was not read."_s.arg(path).arg(MaxFileSize / (1024 * 1024));
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
    if (const char* text = SingleText(element))
        return QString::fromUtf8(text);
    QByteArray text;
    ForEachText(element, [&text](const char* piece) { text.append(piece); });
    return QString::fromUtf8(text);
}

QByteArray ElementTextUtf8(const pugi::xml_node& element)
{
    if (const char* text = SingleText(element))
        return QByteArray::fromRawData(text, qsizetype(std::strlen(text)));
    QByteArray text;
    ForEachText(element, [&text](const char* piece) { text.append(piece); });
    return text;
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
