#pragma once

#include <QString>

class QWidget;
class TfrmInternetBrowser;

// Qt WebEngine lives in a module of its own (morvalen-webengine.so) that is loaded with the
// first Chromium frame: the engine's libraries take a noticeable time and memory to load,
// and a program that never opens a browser window should not pay for them.
namespace WebEngineModule {

// The entry point the module exports.
using TCreateFrame = TfrmInternetBrowser* (*)(QWidget* parent, const QString& dataFolder);
inline constexpr const char* kCreateFrameSymbol = "morvalen_webengine_create_frame";

// Loads the module once and asks it for a frame; throws EMorvalenError when the module
// cannot be loaded.
TfrmInternetBrowser* CreateFrame(QWidget* parent, const QString& dataFolder);
bool IsLoaded();

} // namespace WebEngineModule
