#pragma once

// Whether the WebKit engine (engine code 1) can be used here: the program runs on X11 (its
// pages are X11 windows embedded in the browser window), the helper program is installed
// and it answers within timeoutMs. The window asks once, when it first needs the answer.
bool IsFireFoxAvailable(int timeoutMs = 2000);
