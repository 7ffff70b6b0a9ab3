#include "WebEngineModule.h"

#include "TfrmInternetBrowser.h"
#include "common/Errors.h"
#include "platform/InstallLayout.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QThread>

#include <future>
#include <thread>

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

// Beside the program (the build tree), in the install's module folder, else where the build
// put it.
QStringList ModuleCandidates()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder + u"/morvalen-webengine"_s,
            InstallLayout::ModuleFolder(programFolder) + u"/morvalen-webengine"_s,
            QStringLiteral(MORVALEN_WEBENGINE_MODULE_PATH)};
}

// The spelling dictionaries the build converted: beside the program (the build tree, where the
// engine looks itself) or with the install's data. Read when the engine starts; set on the main
// thread before any other thread can read the environment.
void FindDictionaries()
{
    static bool found = false;
    if (std::exchange(found, true) || !qEnvironmentVariableIsEmpty("QTWEBENGINE_DICTIONARIES_PATH"))
        return;
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString installed = InstallLayout::DataFolder(programFolder) + u"/qtwebengine_dictionaries"_s;
    if (!QFileInfo::exists(programFolder + u"/qtwebengine_dictionaries"_s) && QFileInfo(installed).isDir())
        qputenv("QTWEBENGINE_DICTIONARIES_PATH", QFile::encodeName(installed));
}

// What the context's renderer says of itself: whether it rasterizes in software. Made current
// on a surface of its own for the question, on the main thread (where a platform without
// off-screen buffers makes a hidden window for it).
bool RendersInSoftware(QOpenGLContext& context)
{
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return false;
    const auto* text = reinterpret_cast<const char*>(context.functions()->glGetString(GL_RENDERER));
    const QByteArray renderer = QByteArray(text ? text : "").toLower();
    context.doneCurrent();
    // Mesa's software rasterizers (llvmpipe, softpipe, the old swrast) and Google's.
    for (const char* software : {"llvmpipe", "softpipe", "software rasterizer", "swiftshader"})
        if (renderer.contains(software))
            return true;
    return false;
}

// What Prepare's thread makes: the context first (a window's surface waits for it), then the
// libraries, which only the first frame waits for.
struct TPreparation
{
    std::thread thread;
    std::future<QOpenGLContext*> context;
    bool started = false;
};

TPreparation& Preparation()
{
    // Never destroyed: a program that ends without its application's clean-up must not end
    // on a thread still to be joined.
    static auto* preparation = new TPreparation;
    return *preparation;
}

// Waits for the thread's context; null when none was made, or it was taken before.
QOpenGLContext* TakePreparedContext()
{
    std::future<QOpenGLContext*>& context = Preparation().context;
    return context.valid() ? context.get() : nullptr;
}

void FinishPreparation()
{
    if (Preparation().thread.joinable())
        Preparation().thread.join();
}

// Makes context the one the engine and the views share.
QOpenGLContext* Adopt(QOpenGLContext* context)
{
    qt_gl_set_global_share_context(context);
    // The views' scenes keep their graphics across windows only where the attribute says the
    // contexts are shared. Qt warns that it is late, which it is not for a context made here
    // before any view: that one warning is kept out of the program's output.
    static QtMessageHandler previous = nullptr;
    previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& where, const QString& text) {
            if (previous && !text.contains(u"AA_ShareOpenGLContexts"_s))
                previous(type, where, text);
        });
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    qInstallMessageHandler(previous);
    // Gone with the application, after nothing can draw any more.
    static QOpenGLContext* shared = nullptr;
    shared = context;
    qAddPostRoutine([] {
        if (qt_gl_global_share_context() == shared)
            qt_gl_set_global_share_context(nullptr);
        delete shared;
        shared = nullptr;
    });
    return context;
}

WebEngineModule::TCreateFrame Load()
{
    if (g_createFrame)
        return g_createFrame;
    FindDictionaries();
    WebEngineModule::SharedGraphicsContext();
    // Where Prepare's thread loaded the libraries, loading them here only finds them loaded.
    FinishPreparation();
    QString errors;
    for (const QString& candidate : ModuleCandidates()) {
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

void Prepare()
{
    TPreparation& preparation = Preparation();
    if (g_createFrame || preparation.started || qt_gl_global_share_context() ||
        !QOpenGLContext::supportsThreadedOpenGL())
        return;
    preparation.started = true;
    FindDictionaries();
    std::promise<QOpenGLContext*> context;
    preparation.context = context.get_future();
    QThread* mainThread = QThread::currentThread();
    preparation.thread =
        std::thread([context = std::move(context), mainThread, candidates = ModuleCandidates()]() mutable {
            auto* made = new QOpenGLContext;
            if (made->create()) {
                made->moveToThread(mainThread);
                // The engine's libraries look for it when they load.
                qt_gl_set_global_share_context(made);
            } else {
                delete made;
                made = nullptr;
            }
            context.set_value(made);
            // Loads them into the process (the frame's load finds them there); errors are the
            // frame's to report.
            for (const QString& candidate : candidates) {
                if (QLibrary(candidate).load())
                    break;
            }
        });
    // A program that ends before its first frame still waits for the thread, and ends the
    // context nobody took.
    qAddPostRoutine([] {
        FinishPreparation();
        if (QOpenGLContext* untaken = TakePreparedContext()) {
            if (qt_gl_global_share_context() == untaken)
                qt_gl_set_global_share_context(nullptr);
            delete untaken;
        }
    });
}

QOpenGLContext* SharedGraphicsContext()
{
    if (QOpenGLContext* prepared = TakePreparedContext())
        return Adopt(prepared);
    if (QOpenGLContext* existing = qt_gl_global_share_context())
        return existing;
    auto* shared = new QOpenGLContext;
    if (!shared->create()) {
        delete shared;
        return nullptr;
    }
    return Adopt(shared);
}

bool DrawsInSoftware()
{
    static const bool software = [] {
        const QByteArray chosen = qgetenv("MORVALEN_COMPOSITING").trimmed().toLower();
        if (chosen == "software")
            return true;
        if (chosen == "opengl")
            return false;
        QOpenGLContext* context = SharedGraphicsContext();
        return !context || RendersInSoftware(*context);
    }();
    return software;
}

} // namespace WebEngineModule
