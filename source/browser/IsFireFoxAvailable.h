#pragma once

// Whether the WebKit engine (engine code 1) can be used here: the program runs on X11 (its
// pages are X11 windows embedded in the browser window), the helper program is installed
// and it answers within timeoutMs. Asked once at start-up.
bool IsFireFoxAvailable(int timeoutMs = 2000);
