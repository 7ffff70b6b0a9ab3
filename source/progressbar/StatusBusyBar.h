#pragma once

class TLabelProgressBar;

// Gives bar the form of the main window's busy indicator: the bar line alone (no text or info
// line), 19 pixels high with the window's stored gradient, a flat border and narrow segments
// that run quickly; empty until the indicator starts.
void SetUpStatusBusyBar(TLabelProgressBar& bar);
