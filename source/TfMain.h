#pragma once

#include <QMainWindow>

// The program's main window.
class TfMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfMain(QWidget* parent = nullptr);
};
