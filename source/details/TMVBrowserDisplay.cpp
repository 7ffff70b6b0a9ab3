#include "TMVBrowserDisplay.h"

#include "DetailGeometry.h"
#include "pictures/GraphicTools.h"

#include <QPainter>

using namespace Qt::Literals::StringLiterals;

TMVBrowserDisplay::TMVBrowserDisplay(QWidget* parent) : TMVCaptionControl(parent)
{
    const std::array<QString, 4> names = {u"brIE"_s, u"brFireFox"_s, u"brOpera"_s, u"brSafari"_s};
    for (size_t i = 0; i < names.size(); ++i) {
        m_coloured[i] = GraphicTools::LoadPngResource(names[i]);
        m_grey[i] = GraphicTools::LoadPngResource(names[i] + u"_BW"_s);
    }
}

TMVBrowserDisplay::~TMVBrowserDisplay() = default;

void TMVBrowserDisplay::SetBrowsers(TMVBrowsers browsers)
{
    browsers &= 0x0F;
    if (browsers == m_browsers)
        return;
    m_browsers = browsers;
    update();
}

void TMVBrowserDisplay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PaintCaption(painter);
    for (int i = 0; i < 4; ++i) {
        const bool supported = m_browsers & BrowserBit(TMVBrowser(i));
        const QImage& picture = supported ? m_coloured[size_t(i)] : m_grey[size_t(i)];
        painter.drawImage(DetailGeometry::BrowserIconRect(rect(), i).topLeft(), picture);
    }
}
