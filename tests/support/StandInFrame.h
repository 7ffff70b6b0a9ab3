#pragma once

#include "browser/TfrmInternetBrowser.h"

#include <QStringList>

#include <cstdint>

// A frame that is no engine, for the tests of what sits above the engines (windows, the
// browser manager, notifications, the main window): its pages come from a table of addresses,
// load on the next turn of the event loop and answer the change monitor's measure with their
// text's length. Register() puts it in place of both engines.
class TStandInFrame final : public TfrmInternetBrowser
{
    Q_OBJECT

public:
    struct TPage
    {
        QString Title;
        QString Text;
    };

    explicit TStandInFrame(uint8_t engine, QWidget* parent = nullptr);

    static void Register();
    // What the page at address shows; a page not set is titled by its address.
    static void SetPage(const QString& address, const TPage& page);
    // Every stand-in frame there is now, oldest first.
    static QList<TStandInFrame*> Frames();

    uint8_t BrowserEngine() const override { return m_engine; }
    void GoBack() override;
    void GoForward() override;
    void Stop() override {}
    QString GetLocationURL() const override;
    void CaptureTo(QImage& bitmap) override;
    void RunPageScript(const QString& script, std::function<void(const QVariant& value)> result) override;

    // What a page may do.
    void OpenWindow(const QString& address);
    void AskToClose() { WebBrowserCloseQuery(); }
    int Loads() const { return m_loads; }
    // As a page playing sound would: it must not sleep.
    void SetKeepsAwake(bool keepsAwake) { m_keepsAwake = keepsAwake; }
    bool KeepsAwake() const override { return m_keepsAwake; }

protected:
    void NavigateTo(const QUrl& url) override;
    void ReloadPage() override;
    void RestartEngine() override;
    // As the engine, it lets no page on screen sleep; a sleeping frame shows no page.
    bool MaySleepNow() const override;
    bool SleepEngine() override;

private:
    void Load(const QString& address);

    uint8_t m_engine;
    QStringList m_history;
    int m_current = -1;
    int m_loads = 0;
    bool m_keepsAwake = false;
};
