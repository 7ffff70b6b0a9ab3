#pragma once

#include "Autostart.h"

#include <QString>

// The XDG autostart entry $XDG_CONFIG_HOME/autostart/morvalen-desktop.desktop; the
// program counts as registered when the file exists.
class XdgAutostart final : public Autostart
{
public:
    // programPath empty: the running program's own path.
    explicit XdgAutostart(QString programPath = {});

    bool IsRegistered() const override;
    void Apply(bool enabled) override;

    static QString EntryPath();

private:
    QString m_programPath;
};
