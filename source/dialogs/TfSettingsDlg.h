#pragma once

#include "DialogParts.h"

#include <QImage>

#include <functional>

class OwnerDrawnComboBox;
class QCheckBox;
class QSpinBox;
class TApplicationsSettings;

// The dialog in which the user edits the program-wide preferences. "Ok" writes every control
// into the settings (autostart is registered or removed at once) and raises their OnChange
// once, also when nothing was changed; "Cancel" changes nothing. The FireFox engine cannot be
// chosen while it is not installed: "Ok" then explains why, offers the download and goes back
// to Internet Explorer.
class TfSettingsDlg final : public TMVDialog
{
    Q_OBJECT

public:
    explicit TfSettingsDlg(QWidget* parent = nullptr);

    // Keeps the reference (not owned) and shows its values.
    void SetSettings(TApplicationsSettings& settings);
    void SetFirefoxAvailable(bool available) { m_firefoxAvailable = available; }
    // Whether page changes go to the desktop's notification service: kept by the caller (it
    // is no setting of the configuration file); the box shows it and keeps the user's choice.
    void SetChangeAlertsOnDesktop(bool onDesktop);
    bool ChangeAlertsOnDesktop() const;
    // Opens the FireFox download page; run when the user chooses "Download".
    std::function<void()> OnDownloadFirefox;

    // How long an idle site window waits before its pages sleep, in minutes (0: never). It is
    // kept apart from the settings: the caller sets it and, after "Ok", stores what this
    // answers. A fraction the box cannot show is answered unchanged unless the user edits it.
    void SetSleepAfterMinutes(double minutes);
    double SleepAfterMinutes() const;

    // Creates the dialog for one use and shows it modally; whether the user confirmed it.
    static bool Execute(TApplicationsSettings& settings, bool firefoxAvailable,
                        std::function<void()> onDownloadFirefox, QWidget* parent = nullptr);

private:
    void LoadSettings();
    void ApplySettings();
    void OkClick();
    void DrawEngine(QPainter& painter, const QRect& rect, int index, bool selected) const;

    TApplicationsSettings* m_settings = nullptr;
    bool m_firefoxAvailable = false;
    QImage m_engineIcons[2];

    QCheckBox* m_runWithWindows;
    QCheckBox* m_minimizeOnStartup;
    QCheckBox* m_hideOnClose;
    OwnerDrawnComboBox* m_autoUpdate;
    OwnerDrawnComboBox* m_news;
    OwnerDrawnComboBox* m_defaultRenderEngine;
    QCheckBox* m_openLinksLocally;
    QCheckBox* m_clearOldCache;
    OwnerDrawnComboBox* m_clearOldCacheAge;
    QCheckBox* m_changeAlertsOnDesktop;
    QSpinBox* m_sleepAfter;
    double m_sleepAfterMinutes = 0;
    int m_sleepAfterShown = 0;
};
