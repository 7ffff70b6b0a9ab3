#pragma once

#include <QMainWindow>

#include <QStringList>

struct CopyDataRecord;

// The program's main window.
class TfMain final : public QMainWindow
{
    Q_OBJECT

public:
    explicit TfMain(const QStringList& parameters, QWidget* parent = nullptr);

    bool StartMinimized() const { return m_startMinimized; }

    // A record from a later start of the program.
    void HandleCopyData(const CopyDataRecord& record);
    void HandleParameter(const QString& parameter);

private:
    bool m_startMinimized = false;
};
