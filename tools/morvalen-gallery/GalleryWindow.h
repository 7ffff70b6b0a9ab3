#pragma once

#include <QWidget>

class QTimer;
class TLabelProgressBar;

// The gallery: every control of the program in each of its states.
class GalleryWindow final : public QWidget
{
    Q_OBJECT

public:
    // still: busy bars stand at a fixed step instead of running (for screenshots).
    explicit GalleryWindow(bool still, QWidget* parent = nullptr);

private:
    QTimer* m_ticker = nullptr;
};
