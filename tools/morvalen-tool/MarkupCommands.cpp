#include "JsonOutput.h"
#include "ToolCommand.h"

#include "markup/HtmlMarkup.h"

#include <QJsonArray>

using namespace Qt::Literals::StringLiterals;

namespace {

// The phrases a markup label builds from the text, before layout, in a regular font.
int PrintMarkup(const QStringList& arguments)
{
    QJsonArray phrases;
    for (const TStyledPhrase& phrase : HtmlMarkup::Parse(arguments.at(0))) {
        phrases.append(QJsonObject{
            {u"Text"_s, phrase.Text},
            {u"Bold"_s, (phrase.Style & fsBold) != 0},
            {u"Italic"_s, (phrase.Style & fsItalic) != 0},
            {u"Underline"_s, (phrase.Style & fsUnderline) != 0},
            {u"HasColor"_s, phrase.HasColor},
            {u"Color"_s, phrase.Color},
            {u"IsLink"_s, phrase.IsLink},
            {u"IsImage"_s, phrase.IsImage},
            {u"Target"_s, phrase.Target},
        });
    }
    PrintJson(QJsonObject{{u"phrases"_s, phrases}});
    return 0;
}

} // namespace

std::vector<ToolCommand> MarkupCommands()
{
    return {
        {"markup", "TEXT", 1, PrintMarkup},
    };
}
