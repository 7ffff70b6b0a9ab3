#pragma once

#include "DialogParts.h"

#include <cstdint>
#include <functional>

class QBoxLayout;
class QLabel;
class QPushButton;
class TDscLabel;
class THtmlLabel;
class TRemoteVersion;

// The answer of the version check, in two forms: a newer version is offered ("Download"
// answers mrYes, "Later" mrCancel), or the program is told to be the latest ("Close").
class TfNewVersionDlg final : public TMVDialog
{
    Q_OBJECT

public:
    static constexpr int kWidth = 480;
    static constexpr int kNewVersionHeight = 380;
    static constexpr int kLatestVersionHeight = 214;

    explicit TfNewVersionDlg(QWidget* parent = nullptr);

    // The offer of a newer version; the version texts are "a.b.c.d".
    void SetNewVersion(const QString& currentVersion, const QString& newVersion, const QString& description);
    // Switches to the latest-version form.
    void SetLatestVersion(const QString& currentVersion);

private:
    THtmlLabel* m_welcome;
    THtmlLabel* m_press;
    QLabel* m_currentVersion;
    THtmlLabel* m_whatsNew;
    TDscLabel* m_description;
    QPushButton* m_download;
    QPushButton* m_later;
    QBoxLayout* m_body;
    int m_fillIndex = 0;
};

// Offers the newer version modally; on "Download" opens its download page through
// openWebPage (address, title "Download new version"). Returns whether it was chosen.
bool OfferNewVersion(uint32_t programVersion, const TRemoteVersion& remote,
                     const std::function<void(const QString& url, const QString& title)>& openWebPage,
                     QWidget* parent = nullptr);

// Tells modally that the program is the latest version.
void ShowLatestVersion(uint32_t programVersion, QWidget* parent = nullptr);
