#pragma once

#include <QString>

class QOpenGLContext;
class QWidget;
class TfrmInternetBrowser;
struct TFrameSite;

// Qt WebEngine lives in a module of its own (morvalen-webengine.so) that is loaded with the
// first Chromium frame: the engine's libraries take a noticeable time and memory to load,
// and a program that never opens a browser window should not pay for them.
namespace WebEngineModule {

// The entry point the module exports. Its name changes with its arguments, so that a module
// of another build is refused instead of called wrongly.
using TCreateFrame = TfrmInternetBrowser* (*)(QWidget* parent, const QString& dataFolder,
                                              const TFrameSite& site);
inline constexpr const char* kCreateFrameSymbol = "morvalen_webengine_create_site_frame";

// Loads the module once and asks it for a frame; throws EMorvalenError when the module
// cannot be loaded.
TfrmInternetBrowser* CreateFrame(QWidget* parent, const QString& dataFolder, const TFrameSite& site);
bool IsLoaded();

// Starts, on a thread of its own, what the first frame waits for: the shared OpenGL context
// and the engine's libraries, so that their load overlaps the program's own start and the
// window's construction. Returns at once; the first frame takes what the thread made (and
// waits for it where it is not done). Does nothing a second time, or where OpenGL contexts
// cannot be made off the main thread.
void Prepare();

// The OpenGL context the engine and its views share, made once, with the first Chromium
// window (or by Prepare) rather than with the application, which would load the driver before
// the main window shows; a program that made it at its start keeps its own. Null where there
// is no OpenGL.
QOpenGLContext* SharedGraphicsContext();

// Whether the views, and the windows that show them, draw in software rather than compose
// through OpenGL: where the OpenGL there is draws in software itself (Mesa's llvmpipe, as in
// virtual machines and remote sessions) or there is none. There, composing through OpenGL is
// the same work done the long way: a context and buffers of its own for every window (about
// 20 MiB each) and a whole-window composition for every change of the window. The
// environment's MORVALEN_COMPOSITING=software or =opengl decides instead. Decided once, with
// the first Chromium window; the module asks it too (see frame-symbols.list).
bool DrawsInSoftware();

} // namespace WebEngineModule
