#include "WebEngineModule.h"

#include "TfrmInternetBrowser.h"
#include "common/Errors.h"
#include "platform/InstallLayout.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QOpenGLContext>

QT_BEGIN_NAMESPACE
// Qt's own: the context Qt WebEngine and the views' scene graphs share their textures through.
Q_GUI_EXPORT QOpenGLContext* qt_gl_global_share_context();
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext* context);
QT_END_NAMESPACE

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
    WebEngineModule::SharedGraphicsContext();
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

QOpenGLContext* SharedGraphicsContext()
{
    if (QOpenGLContext* existing = qt_gl_global_share_context())
        return existing;
    static QOpenGLContext* shared = nullptr;
    shared = new QOpenGLContext;
    if (!shared->create()) {
        delete shared;
        shared = nullptr;
        return nullptr;
    }
    qt_gl_set_global_share_context(shared);
    // The views' scenes keep their graphics across windows only where the attribute says the
    // contexts are shared. Qt warns that it is late, which it is not for a context made here
    // before any view: that one warning is kept out of the program's output.
    static QtMessageHandler previous = nullptr;
    previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (previous && !text.contains(u"AA_ShareOpenGLContexts"_s))
                previous(type, context, text);
        });
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(previous);
    // Gone with the application, after nothing can draw any more.
    qAddPostRoutine([] {
        if (qt_gl_global_share_context() == shared)
            qt_gl_set_global_share_context(nullptr);
        delete shared;
        shared = nullptr;
    });
    return shared;
}

} // namespace WebEngineModule
