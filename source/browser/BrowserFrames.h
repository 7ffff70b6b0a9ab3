#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QWidget;
class TfrmInternetBrowser;
struct TFrameSite;

// Makes the engine frames of the browser windows, by engine code. Engine 0 (Chromium, Qt
// WebEngine) is built in and loaded with its first frame, so a program without browser
// windows never loads it; another engine plugs in with Register.
namespace BrowserFrames {

using TFrameCreator = std::function<TfrmInternetBrowser*(QWidget* parent)>;
using TSiteFrameCreator = std::function<TfrmInternetBrowser*(QWidget* parent, const TFrameSite& site)>;

// Replaces the creator of an engine (also engine 0, for tests that stand in for it); one
// that takes no site makes the same frame for every site.
void Register(uint8_t engine, TFrameCreator creator);
void Register(uint8_t engine, TSiteFrameCreator creator);
bool IsRegistered(uint8_t engine);

// Starts loading the engine in the background where it can be (the built-in Chromium engine),
// for a window that is about to show one of its frames. Returns at once.
void Prepare(uint8_t engine);

// True when the engine's frames are made at once: it runs in the program already (a frame of
// it has been made) or a test stands in for it. Only Chromium is counted; the WebKit engine
// is never taken for started.
bool Started(uint8_t engine);

// A new frame of the engine, a child of parent. Throws EMorvalenError when the engine is
// unknown or cannot be started.
TfrmInternetBrowser* Create(uint8_t engine, QWidget* parent);
// The same, for a frame of a site that asks for its own session, user agent, style, ...
TfrmInternetBrowser* Create(uint8_t engine, QWidget* parent, const TFrameSite& site);

// The folder under which engines keep their profiles (WebEngine/, WebKit/): the data
// folder, with a trailing "/". Set before the first frame.
void SetDataFolder(const QString& folder);
QString DataFolder();

} // namespace BrowserFrames
