#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QObject>
#include <QString>

// What the docks hear on a bus: every Update of the launcher entry interface, in order.
class TestLauncherListener final : public QObject
{
    Q_OBJECT

public:
    struct TUpdate
    {
        QString AppUri;
        qint64 Count = -1;
        bool Visible = false;
    };

    explicit TestLauncherListener(const QString& busAddress);
    ~TestLauncherListener() override;

    QList<TUpdate> Updates;
    // The last update for that desktop entry ("application://NAME"); none: Count -1.
    TUpdate LastFor(const QString& appUri) const;

private slots:
    void Heard(const QDBusMessage& message);

private:
    QDBusConnection m_bus;
};
