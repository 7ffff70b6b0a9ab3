#include "GallerySections.h"
#include "SamplePictures.h"

#include "details/TMVBrowserDisplay.h"
#include "details/TMVImageDisplay.h"
#include "details/TMVLinksBar.h"
#include "details/TMVProductDescriptions.h"
#include "details/TMVPropertyText.h"
#include "details/TMVRating.h"
#include "panels/TMVDelimiter.h"
#include "panels/TMVFrame.h"
#include "pictures/PngFile.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QTemporaryDir>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace GallerySections {

namespace {

// The links bar's icons, shared by every bar of the gallery as the main window shares its list.
const std::vector<QImage>& LinkIcons()
{
    static const std::vector<QImage> icons = SamplePictures::LinkIcons();
    return icons;
}

TMVLinksBar* LinksBar(bool installed, int width = -1)
{
    auto* bar = new TMVLinksBar;
    bar->SetImageList(&LinkIcons());
    bar->SetImageIndexInstall(0);
    bar->SetImageIndexVisitSite(1);
    bar->SetImageIndexSignup(2);
    bar->SetImageIndexTellFriend(3);
    bar->SetImageIndexInstalled(4);
    bar->SetIsInstalled(installed);
    bar->setFixedHeight(22);
    // A bar as wide as all its links need, unless it is to show that it drops some.
    bar->setFixedWidth(width > 0 ? width : bar->sizeHint().width());
    return bar;
}

// A screenshot the way the catalog serves one: a small picture file, loaded from disk.
TMVImageDisplay* Screenshot(const QColor& accent, const QString& name)
{
    auto* display = new TMVImageDisplay;
    display->SetZoomText(u"View full size"_s);
    const QImage picture = SamplePictures::WebPage(accent, name, 0)
                               .scaled(128, 96, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"screenshot.png"_s);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(PngFile::Write(picture)) > 0) {
        file.close();
        display->LoadImageFile(path);
    } else {
        display->ShowNoImage();
    }
    return display;
}

TMVDelimiter* Line()
{
    auto* line = new TMVDelimiter;
    line->SetFillType(ftGradientTNT);
    line->setFixedHeight(5);
    return line;
}

TMVPropertyText* Property(const QString& caption, const QString& value, bool link = false, int width = 248)
{
    auto* text = new TMVPropertyText;
    text->setFixedWidth(width);
    text->SetCaption(caption);
    text->SetText(value);
    text->SetIsUrl(link);
    return text;
}

TMVRating* Rating(const QString& caption, TRatingType type, float value, int width = 248)
{
    auto* rating = new TMVRating;
    rating->setFixedWidth(width);
    rating->SetCaption(caption);
    rating->SetRatingType(type);
    rating->SetRating(value);
    rating->SetShowRatingHint(true);
    return rating;
}

TMVBrowserDisplay* Browsers(TMVBrowsers browsers, int width = 248)
{
    auto* display = new TMVBrowserDisplay;
    display->setFixedWidth(width);
    display->SetCaption(u"Browser"_s);
    display->SetBrowsers(browsers);
    return display;
}

// Controls side by side.
QWidget* Row(const QList<QWidget*>& controls, int spacing = 12)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* control : controls)
        layout->addWidget(control, 0, Qt::AlignTop);
    layout->addStretch(1);
    return row;
}

} // namespace

QWidget* DetailsPanel()
{
    auto* frame = new TMVFrame;
    frame->SetCaption(u"Detailed info"_s);
    frame->SetHelpText(u"Double-click an application to install it as a site of your own"_s);
    frame->SetFrameState(fsExpanded);
    frame->setFixedHeight(200);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(4, 2, 10, 4);
    layout->setSpacing(10);

    auto* picture = Screenshot(QColor(0x2F, 0x6F, 0xC8), u"Notes"_s);
    picture->setFixedWidth(164);
    layout->addWidget(picture);

    auto* middle = new QVBoxLayout;
    middle->setContentsMargins(0, 6, 0, 0);
    middle->setSpacing(6);
    auto* links = LinksBar(false);
    links->setMinimumWidth(links->width());
    links->setMaximumWidth(QWIDGETSIZE_MAX);
    middle->addWidget(links);
    auto* descriptions = new TMVProductDescriptions;
    descriptions->SetTitle(u"Morvalen Notes"_s);
    descriptions->SetDescriptionShort(u"Notes that follow you from desk to phone"_s);
    descriptions->SetDescriptionLong(
        u"Write notes in any browser, tag them, search them in an instant and share a notebook with "
        u"the people you work with. Pictures, checklists and web clippings keep their place; every "
        u"change reaches your other computers within seconds, and the notes stay readable offline "
        u"when the connection drops."_s);
    middle->addWidget(descriptions, 1);
    layout->addLayout(middle, 1);

    auto* column = new QVBoxLayout;
    column->setContentsMargins(0, 8, 0, 0);
    column->setSpacing(2);
    column->addWidget(Property(u"Category"_s, u"Productivity"_s, true));
    column->addWidget(Line());
    column->addWidget(Rating(u"Popularity"_s, rtPopularity, 4.0f));
    column->addWidget(Line());
    column->addWidget(Property(u"Price"_s, u"Free"_s));
    column->addWidget(Line());
    column->addWidget(
        Browsers(BrowserBit(brInternetExplorer) | BrowserBit(brFireFox) | BrowserBit(brSafari)));
    column->addWidget(Line());
    column->addWidget(Rating(u"Rating"_s, rtRating, 4.5f));
    column->addStretch(1);
    layout->addLayout(column);
    return Section(u"Catalog details panel"_s, u"The selected application of a catalog list"_s, {frame});
}

QWidget* DetailStates()
{
    auto* loading = new TMVImageDisplay;
    loading->ShowLoading();
    auto* missing = new TMVImageDisplay;
    missing->ShowNoImage();

    auto* ratings = new QWidget;
    auto* grid = new QGridLayout(ratings);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(2);
    const std::pair<QString, float> stars[] = {
        {u"Rating 0"_s, 0.0f},   {u"Rating 0.5"_s, 0.5f}, {u"Rating 4.4"_s, 4.4f},
        {u"Rating 4.5"_s, 4.5f}, {u"Rating 4.9"_s, 4.9f}, {u"Rating 5"_s, 5.0f},
    };
    int index = 0;
    for (const auto& [caption, value] : stars) {
        grid->addWidget(Rating(caption, rtRating, value, 160), index % 3, index / 3);
        ++index;
    }
    grid->addWidget(Rating(u"Popularity 2.5"_s, rtPopularity, 2.5f, 160), 3, 0);
    grid->addWidget(Rating(u"Popularity 3.5"_s, rtPopularity, 3.5f, 160), 3, 1);

    auto* browsers = new QWidget;
    auto* browserColumn = new QVBoxLayout(browsers);
    browserColumn->setContentsMargins(0, 0, 0, 0);
    browserColumn->setSpacing(2);
    browserColumn->addWidget(Browsers(BrowserBit(brInternetExplorer) | BrowserBit(brOpera), 170));
    browserColumn->addWidget(Browsers(0x0F, 170));
    browserColumn->addWidget(Browsers(0, 170));

    auto* properties = new QWidget;
    auto* propertyColumn = new QVBoxLayout(properties);
    propertyColumn->setContentsMargins(0, 0, 0, 0);
    propertyColumn->setSpacing(2);
    propertyColumn->addWidget(Property(u"Price"_s, u"Free"_s, false, 330));
    propertyColumn->addWidget(Property(u"Category"_s, u"Photo and Video"_s, true, 330));
    propertyColumn->addWidget(
        Property(u"Price"_s, u"Free for five users, then $4.99 a month for every user"_s, false, 330));

    return Section(
        u"Detail controls"_s, u"Every state of the details panel's controls"_s,
        {
            WithNote(u"Screenshot loading, and no screenshot"_s, Row({loading, missing}, 6)),
            WithNote(u"Links: installed, and too narrow for all (Install goes first)"_s, LinksBar(true)),
            LinksBar(false, 250),
            WithNote(u"Values: fitting, as a link, too long"_s, properties),
            WithNote(u"Stars and circles"_s, ratings),
            WithNote(u"Browsers: two, all, none"_s, browsers),
        });
}

} // namespace GallerySections
