#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class TSiteSettings;

// The site dialog's "Browsing" page: how the site browses beyond its record (its own
// session, zoom, user agent, spelling, the permission answers with their reset, its own style
// and script), read from and written to the site's settings.
class TSiteBrowsingPage final : public QWidget
{
    Q_OBJECT

public:
    static constexpr char16_t kFirefoxOnLinux[] =
        u"Mozilla/5.0 (X11; Linux x86_64; rv:128.0) Gecko/20100101 Firefox/128.0";

    explicit TSiteBrowsingPage(QWidget* parent = nullptr);

    // Fills the page from the site's settings.
    void Load(const TSiteSettings& settings, const QString& elementId);
    // Writes what the page shows; false when the file could not be written. A change of the
    // own session first asks whether the site's own sign-in is kept (for later) or cleared.
    bool Store(TSiteSettings& settings, const QString& elementId) const;

    // The question; true keeps the sign-in. The program's confirmation dialog unless
    // replaced (tests answer for the user).
    static std::function<bool(QWidget* parent, bool ownSessionNow)> KeepSignIn;

private:
    void UserAgentChosen();
    void ResetPermission();

    QCheckBox* m_ownSession = nullptr;
    QComboBox* m_zoom = nullptr;
    QComboBox* m_userAgentKind = nullptr;
    QLineEdit* m_userAgent = nullptr;
    QCheckBox* m_spellCheck = nullptr;
    QListWidget* m_permissions = nullptr;
    QPushButton* m_resetPermission = nullptr;
    QPlainTextEdit* m_userStyle = nullptr;
    QPlainTextEdit* m_userScript = nullptr;
};
