#include "BrowserFrames.h"

#include "TfrmInternetBrowser.h"
#include "TfrmWebKitBrowser.h"
#include "WebEngineModule.h"
#include "common/Errors.h"

#include <map>

using namespace Qt::Literals::StringLiterals;

namespace {

std::map<uint8_t, BrowserFrames::TSiteFrameCreator>& Creators()
{
    static std::map<uint8_t, BrowserFrames::TSiteFrameCreator> creators{
        {0,
         [](QWidget* parent, const TFrameSite& site) {
             return WebEngineModule::CreateFrame(parent, BrowserFrames::DataFolder(), site);
         }},
        {1,
         [](QWidget* parent, const TFrameSite& site) -> TfrmInternetBrowser* {
             return TfrmWebKitBrowser::Create(parent, site);
         }},
    };
    return creators;
}

// False once a test stands in for the Chromium engine: there is nothing of it to prepare then.
bool g_chromiumBuiltIn = true;

QString& Folder()
{
    static QString folder;
    return folder;
}

} // namespace

namespace BrowserFrames {

void Register(uint8_t engine, TFrameCreator creator)
{
    Register(engine,
             [creator = std::move(creator)](QWidget* parent, const TFrameSite&) { return creator(parent); });
}

void Register(uint8_t engine, TSiteFrameCreator creator)
{
    if (engine == 0)
        g_chromiumBuiltIn = false;
    Creators()[engine] = std::move(creator);
}

bool IsRegistered(uint8_t engine)
{
    return Creators().contains(engine);
}

void Prepare(uint8_t engine)
{
    if (engine == 0 && g_chromiumBuiltIn)
        WebEngineModule::Prepare();
}

bool Started(uint8_t engine)
{
    return engine == 0 && (!g_chromiumBuiltIn || WebEngineModule::IsLoaded());
}

TfrmInternetBrowser* Create(uint8_t engine, QWidget* parent)
{
    return Create(engine, parent, TFrameSite());
}

TfrmInternetBrowser* Create(uint8_t engine, QWidget* parent, const TFrameSite& site)
{
    const auto found = Creators().find(engine);
    if (found == Creators().end())
        throw EMorvalenError(u"Can not create browser engine %1!"_s.arg(engine));
    TfrmInternetBrowser* frame = found->second(parent, site);
    if (!frame)
        throw EMorvalenError(u"Can not create browser engine %1!"_s.arg(engine));
    return frame;
}

void SetDataFolder(const QString& folder)
{
    Folder() = folder.isEmpty() || folder.endsWith(u'/') ? folder : folder + u'/';
}

QString DataFolder()
{
    return Folder();
}

} // namespace BrowserFrames
