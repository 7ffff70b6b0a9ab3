#pragma once

#include "ThumbnailCapture.h"
#include "dialogs/DialogParts.h"

#include <QImage>

#include <array>
#include <functional>

class OwnerDrawnComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QStackedWidget;
class QToolButton;
class TApplicationsSettings;
class TFavoriteIconManager;
class TMVPopupMenu;
class TMorvalenBaseClass;
class TSiteBrowsingPage;
class TSiteSettings;
class TSiteShortcuts;
class TThumbnailManager;

// The dialog in which the user creates a site by hand, installs a catalog application as a
// site or edits an installed site: title, address, description, icon, thumbnail, engine,
// tray and monitor options and launchers. "Ok" validates, writes the record, stores the
// thumbnail and recreates the launchers; the caller adds or saves the record. "Cancel"
// changes nothing in the record (the icon store may have gained a downloaded icon).
class TfSiteDlg final : public TMVDialog
{
    Q_OBJECT

public:
    enum TSitePage
    {
        spGeneral,
        spImages,
        spBrowser,
        spMonitor,
        spShortcuts,
        spBrowsing
    };

    explicit TfSiteDlg(QWidget* parent = nullptr);
    ~TfSiteDlg() override;

    void SetCreateMode();
    void SetInstallMode();
    void SetEditMode();

    // The stores and the settings are kept by reference, not owned.
    void SetFavoriteIconManager(TFavoriteIconManager* icons);
    void SetThumbnailManager(TThumbnailManager* thumbnails);
    // Keeps the record and shows its values.
    void SetSite(TMorvalenBaseClass* site);
    // Selects the default engine of the settings.
    void SetSettings(TApplicationsSettings* settings);
    void SetFirefoxAvailable(bool available) { m_firefoxAvailable = available; }
    // Where "Ok" recreates the site's launchers; none: launchers are left alone.
    void SetShortcuts(const TSiteShortcuts* shortcuts) { m_shortcuts = shortcuts; }
    // How the site browses ("Browsing" page); without them the page is not offered. Call
    // after SetSite.
    void SetSiteSettings(TSiteSettings* settings);
    // Opens the FireFox download page; run when the user chooses "Download".
    std::function<void()> OnDownloadFirefox;
    // Takes the picture behind "Update..."; without it "Update..." stays disabled.
    void SetThumbnailCapture(TThumbnailCapture capture);

    // The engines as the engine box lists them, by engine code.
    static const QStringList& EngineNames();

    // The "Sign up at " box below the pages: hidden; the install command shows and reads it.
    QCheckBox* SignUpBox() const { return m_signUp; }

    const QString& DownloadURL() const { return m_downloadURL; }
    int ScreenSizeIndex() const { return m_screenSizeIndex; }
    const QImage& ThumbnailImage() const { return m_thumbnailImage; }
    TMVPopupMenu* ThumbnailMenu() const { return m_thumbnailMenu; }

    // The actions behind the buttons and the menu.
    void DownloadSiteIcon();
    // Fills the description with what the site's page says about itself.
    void GetDescription();
    void CaptureSiteThumbnail();
    void ResetThumbnail();
    void SelectScreenSize(int index);
    // Checks the input and, when it is good, stores it and closes with mrOk.
    void OkClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildLayout();
    QWidget* BuildGeneralPage();
    QWidget* BuildImagesPage();
    QWidget* BuildBrowserPage();
    QWidget* BuildMonitorPage();
    QWidget* BuildShortcutsPage();
    void SetHeader(const QString& caption, const QString& title, const QString& text);

    void FillIcons();
    void SelectIcon(const QString& name);
    void LoadSite();
    void ShowThumbnail();
    void URLChanged(const QString& text);
    void URLExit();
    void UpdateMonitorControls();
    void UpdateCommands();
    bool ValidateInput();
    void StoreSite();
    void DrawIcon(QPainter& painter, const QRect& rect, int index, bool selected) const;
    void DrawEngine(QPainter& painter, const QRect& rect, int index, bool selected) const;

    TMorvalenBaseClass* m_site = nullptr;
    TFavoriteIconManager* m_icons = nullptr;
    TThumbnailManager* m_thumbnails = nullptr;
    TApplicationsSettings* m_settings = nullptr;
    const TSiteShortcuts* m_shortcuts = nullptr;
    TSiteSettings* m_siteSettings = nullptr;
    TSiteBrowsingPage* m_browsing = nullptr;
    TThumbnailCapture m_capture;
    bool m_firefoxAvailable = false;
    QString m_downloadURL;
    int m_screenSizeIndex = 2;
    QImage m_thumbnailImage;
    std::vector<QImage> m_iconImages;
    std::array<QImage, 4> m_engineImages;

    QListWidget* m_pages = nullptr;
    QStackedWidget* m_notebook = nullptr;
    QLineEdit* m_title = nullptr;
    QLineEdit* m_url = nullptr;
    QPlainTextEdit* m_description = nullptr;
    OwnerDrawnComboBox* m_favIcons = nullptr;
    QToolButton* m_downloadIcon = nullptr;
    QWidget* m_getDescription = nullptr;
    QLabel* m_thumbnail = nullptr;
    QToolButton* m_updateThumb = nullptr;
    TMVPopupMenu* m_thumbnailMenu = nullptr;
    QAction* m_menuUpdate = nullptr;
    std::vector<QAction*> m_screenSizeItems;
    OwnerDrawnComboBox* m_renderEngine = nullptr;
    QCheckBox* m_runAsTrayIcon = nullptr;
    // Only in a Wayland session with XWayland.
    QCheckBox* m_throughXWayland = nullptr;
    QCheckBox* m_monitorChanges = nullptr;
    QLabel* m_intervalLabel = nullptr;
    OwnerDrawnComboBox* m_monitorInterval = nullptr;
    std::array<QCheckBox*, 4> m_shortcutBoxes{};
    QCheckBox* m_signUp = nullptr;
};
