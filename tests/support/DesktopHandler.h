#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

// Stands in for the desktop's handler of a scheme while it lives ("file" for the files and
// folders the program opens).
class DesktopHandler final : public QObject
{
    Q_OBJECT

public:
    explicit DesktopHandler(const QString& scheme);
    ~DesktopHandler() override;

    QList<QUrl> Opened;

public slots:
    void Open(const QUrl& url);

private:
    QString m_scheme;
};
