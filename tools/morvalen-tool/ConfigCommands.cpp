#include "JsonOutput.h"
#include "ToolCommand.h"

#include "common/Errors.h"
#include "platform/XdgAutostart.h"
#include "settings/ConfigurationFile.h"
#include "settings/TApplicationsSettings.h"

using namespace Qt::Literals::StringLiterals;

namespace {

int PrintConfig(const QStringList& arguments)
{
    XdgAutostart autostart;
    TApplicationsSettings settings(autostart);
    uint8_t arrangeMode = 0;
    if (!ConfigurationFile::Load(arguments.at(0), settings, arrangeMode))
        throw EMorvalenError(u"Cannot read \"%1\"."_s.arg(arguments.at(0)));
    PrintJson(QJsonObject{
        {u"RunWithWindows"_s, settings.RunWithWindows()},
        {u"MinimizeOnStartup"_s, settings.MinimizeOnStartup()},
        {u"HideOnClose"_s, settings.HideOnClose()},
        {u"OpenLinksLocally"_s, settings.OpenLinksLocally()},
        {u"DefaultRenderEngine"_s, settings.DefaultRenderEngine()},
        {u"NewsFlag"_s, settings.NewsFlag()},
        {u"CheckNewsInterval"_s, settings.CheckNewsInterval()},
        {u"AutoUpdate"_s, settings.AutoUpdate()},
        {u"ClearOldCache"_s, settings.ClearOldCache()},
        {u"ClearOldCacheAge"_s, settings.ClearOldCacheAge()},
        {u"LastUpdateCheck"_s, settings.LastUpdateCheck()},
        {u"ArrangeMode"_s, arrangeMode},
    });
    return 0;
}

int WriteDefaultConfig(const QStringList& arguments)
{
    XdgAutostart autostart;
    const TApplicationsSettings settings(autostart);
    ConfigurationFile::Save(arguments.at(0), settings, 0);
    return 0;
}

} // namespace

std::vector<ToolCommand> ConfigCommands()
{
    return {
        {"config", "FILE", 1, PrintConfig},
        {"config-defaults", "FILE", 1, WriteDefaultConfig},
    };
}
