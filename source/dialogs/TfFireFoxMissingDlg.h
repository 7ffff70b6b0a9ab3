#pragma once

#include "DialogParts.h"

// Tells that the FireFox engine is not installed. "Download" answers mrOk (the caller then
// opens the download page), "Cancel" mrCancel. Either way the caller goes back to the
// Internet Explorer engine.
class TfFireFoxMissingDlg final : public TMVDialog
{
    Q_OBJECT

public:
    explicit TfFireFoxMissingDlg(QWidget* parent = nullptr);

    static const QString& Message();
};
