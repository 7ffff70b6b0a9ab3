#include "WebEngineModule.h"

#include "TfrmInternetBrowser.h"
#include "common/Errors.h"
#include "platform/InstallLayout.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

using namespace Qt::Literals::StringLiterals;

namespace {

// The module's frames derive from the frame base, which the module takes from the program
// (see frame-symbols.list): keep it in every program that can load the module.
[[maybe_unused]] const QMetaObject* const g_frameBase = &TfrmInternetBrowser::staticMetaObject;

WebEngineModule::TCreateFrame g_createFrame = nullptr;

WebEngineModule::TCreateFrame Load()
{
    if (g_createFrame)
        return g_createFrame;
    // Beside the program (the build tree), in the install's module folder, else where the
    // build put it.
    const QString programFolder = QCoreApplication::applicationDirPath();
    // The spelling dictionaries the build converted: beside the program (the build tree, where
    // the engine looks itself) or with the install's data. Read when the engine starts.
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_DICTIONARIES_PATH")) {
        const QString installed = InstallLayout::DataFolder(programFolder) + u"/qtwebengine_dictionaries"_s;
        if (!QFileInfo::exists(programFolder + u"/qtwebengine_dictionaries"_s) &&
            QFileInfo(installed).isDir())
            qputenv("QTWEBENGINE_DICTIONARIES_PATH", QFile::encodeName(installed));
    }
    const QStringList candidates{programFolder + u"/morvalen-webengine"_s,
                                 InstallLayout::ModuleFolder(programFolder) + u"/morvalen-webengine"_s,
                                 QStringLiteral(MORVALEN_WEBENGINE_MODULE_PATH)};
    QString errors;
    for (const QString& candidate : candidates) {
        QLibrary library(candidate);
        if (library.load()) {
            g_createFrame = reinterpret_cast<WebEngineModule::TCreateFrame>(
                library.resolve(WebEngineModule::kCreateFrameSymbol));
            if (g_createFrame)
                return g_createFrame;
        }
        errors += u"\n"_s + library.errorString();
    }
    throw EMorvalenError(u"Can not load the Chromium engine."_s + errors);
}

} // namespace

namespace WebEngineModule {

TfrmInternetBrowser* CreateFrame(QWidget* parent, const QString& dataFolder, const TFrameSite& site)
{
    return Load()(parent, dataFolder, site);
}

bool IsLoaded()
{
    return g_createFrame != nullptr;
}

} // namespace WebEngineModule
