#pragma once

#include <thread>

// Reads fontconfig's configuration and font caches on a thread of its own while the
// application connects to the display: the first text the main window lays out waits for them
// otherwise, some milliseconds that an empty window never pays. Make it before the
// application and Finish it once the application exists; a program that ends sooner (a
// second start handing over) never needs to make it.
class TFontConfigPreload
{
public:
    TFontConfigPreload();
    ~TFontConfigPreload();
    TFontConfigPreload(const TFontConfigPreload&) = delete;
    TFontConfigPreload& operator=(const TFontConfigPreload&) = delete;

    // Waits for the thread; fontconfig's own start then finds its configuration loaded.
    void Finish();

private:
    std::thread m_thread;
};
