#pragma once

#include "Autostart.h"

#include <QString>
#include <QStringList>

// The XDG autostart entry $XDG_CONFIG_HOME/autostart/morvalen-desktop.desktop; the
// program counts as registered when the file exists.
class XdgAutostart final : public Autostart
{
public:
    // programPath empty: the running program's own path. options go into the entry's command
    // line before "runminimized", so that the program starts at login as it was started now.
    explicit XdgAutostart(QString programPath = {}, QStringList options = {});

    bool IsRegistered() const override;
    void Apply(bool enabled) override;

    static QString EntryPath();

private:
    QString m_programPath;
    QStringList m_options;
};
