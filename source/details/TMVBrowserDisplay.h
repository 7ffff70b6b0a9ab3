#pragma once

#include "TMVCaptionControl.h"

#include <QImage>

#include <array>
#include <cstdint>

enum TMVBrowser : uint8_t
{
    brInternetExplorer,
    brFireFox,
    brOpera,
    brSafari
};

// A set of TMVBrowser: bit 0 Internet Explorer, 1 FireFox, 2 Opera, 3 Safari, the mask the
// catalog views hand over.
using TMVBrowsers = uint8_t;

constexpr TMVBrowsers BrowserBit(TMVBrowser browser)
{
    return TMVBrowsers(1u << browser);
}

// A caption and the four browser icons at the right, in colour for the browsers an
// application supports and grey for the others.
class TMVBrowserDisplay final : public TMVCaptionControl
{
    Q_OBJECT

public:
    explicit TMVBrowserDisplay(QWidget* parent = nullptr);
    ~TMVBrowserDisplay() override;

    TMVBrowsers Browsers() const { return m_browsers; }
    // Bits above the four browsers are ignored.
    void SetBrowsers(TMVBrowsers browsers);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TMVBrowsers m_browsers = 0;
    std::array<QImage, 4> m_coloured;
    std::array<QImage, 4> m_grey;
};
