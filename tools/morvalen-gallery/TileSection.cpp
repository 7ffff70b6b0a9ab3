#include "GallerySections.h"
#include "SamplePictures.h"

#include "pictures/TExIcon.h"
#include "sites/TMVWebElement.h"
#include "sites/TMorvalenBaseClass.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QTimer>

#include <memory>
#include <vector>

using namespace Qt::Literals::StringLiterals;

namespace GallerySections {

namespace {

// The site records the tiles show, kept as long as the section.
class RecordKeeper final : public QObject
{
public:
    using QObject::QObject;

    TMorvalenBaseClass& Add(const QString& title, const QString& url, const QString& description)
    {
        m_records.push_back(std::make_unique<TMorvalenBaseClass>());
        TMorvalenBaseClass& record = *m_records.back();
        record.SetTitle(title);
        record.SetURL(url);
        record.SetDescription(description);
        return record;
    }

private:
    std::vector<std::unique_ptr<TMorvalenBaseClass>> m_records;
};

TExIcon IconOf(const QColor& color, QChar letter)
{
    TExIcon icon;
    icon.SetPictures({SamplePictures::SiteIcon(color, letter)}, IconImageData::pf32bit);
    return icon;
}

struct SiteLook
{
    QColor Accent;
    QChar Letter;
    int Variant;
};

TMVWebElement* Tile(TMorvalenBaseClass* record, const SiteLook& look, bool withThumbnail = true)
{
    auto* tile = new TMVWebElement;
    tile->setFixedSize(tile->sizeHint());
    tile->SetMorvalenItem(record);
    if (record) {
        tile->SetIcon(IconOf(look.Accent, look.Letter));
        if (withThumbnail)
            tile->SetThumbnail(SamplePictures::Thumbnail(look.Accent, record->Title(), look.Variant));
    }
    // No tile is focused in the gallery's window unless it asks for the look.
    tile->ForceFocusLook(false);
    return tile;
}

} // namespace

QWidget* Tiles(bool still)
{
    auto* grid = new QWidget;
    auto* keeper = new RecordKeeper(grid);
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setHorizontalSpacing(18);
    layout->setVerticalSpacing(6);
    int cell = 0;
    const auto add = [&](const QString& note, TMVWebElement* tile) {
        layout->addWidget(WithNote(note, tile), cell / 2, cell % 2);
        ++cell;
    };

    add(u"Without a site"_s, Tile(nullptr, {}));

    TMorvalenBaseClass& mail = keeper->Add(u"Morvalen Mail"_s, u"http://mail.morvalen.com/"_s,
                                           u"Mail, contacts and calendar in one place"_s);
    TMVWebElement* focused = Tile(&mail, {QColor(0x2F, 0x6F, 0xC8), u'M', 0});
    focused->ForceFocusLook(true);
    add(u"Focused: gradients, run button"_s, focused);

    TMorvalenBaseClass& photos = keeper->Add(u"Photo Harbor"_s, u"http://www.photoharbor.net/"_s,
                                             u"Share your photos with family and friends"_s);
    add(u"Unfocused"_s, Tile(&photos, {QColor(0x1E, 0x9A, 0x8A), u'P', 2}));

    TMorvalenBaseClass& planner = keeper->Add(u"Daily Planner"_s, u"http://planner.example.org/today"_s,
                                              u"Tasks, reminders and a week at a glance"_s);
    TMVWebElement* browsing = Tile(&planner, {QColor(0xE0, 0x7A, 0x1F), u'D', 3});
    browsing->SetHasBrowser(true);
    add(u"Browser open: close button"_s, browsing);

    TMorvalenBaseClass& news =
        keeper->Add(u"News Reader"_s, u"http://news.example.com/"_s, u"All your feeds, read and unread"_s);
    TMVWebElement* flashing = Tile(&news, {QColor(0xC8, 0x3A, 0x3A), u'N', 1});
    add(u"Flashing: installed already"_s, flashing);

    TMorvalenBaseClass& chat = keeper->Add(u"Team Chat"_s, u"http://chat.example.net/team"_s,
                                           u"Talk with your team in rooms and threads"_s);
    chat.SetShortcutKinds(1 << skDesktop | 1 << skStartMenu);
    add(u"With shortcuts: the overlay on the thumbnail"_s, Tile(&chat, {QColor(0x6A, 0x4F, 0xC0), u'T', 0}));

    TMorvalenBaseClass& board = keeper->Add(u"Project Board"_s, u"http://board.example.com/"_s,
                                            u"Cards and columns for every project"_s);
    board.SetTabURLs({u"http://board.example.com/mine"_s, u"http://board.example.com/team"_s});
    add(u"Two extra tabs: \"(3)\" before the address"_s, Tile(&board, {QColor(0x3C, 0x9A, 0x46), u'B', 2}));

    TMorvalenBaseClass& recipes =
        keeper->Add(u"Recipe Box"_s, u"http://recipes.example.org/"_s,
                    u"Collect recipes from anywhere on the web, plan the meals of the week and send the "
                    u"shopping list to your phone, sorted by the aisles of your own store."_s);
    add(u"Long description: two lines and an ellipsis"_s,
        Tile(&recipes, {QColor(0xB8, 0x4A, 0x8A), u'R', 1}));

    TMorvalenBaseClass& wiki = keeper->Add(u"Team Wiki"_s, u"http://wiki.example.com/"_s, QString());
    TMVWebElement* status = Tile(&wiki, {QColor(0x4A, 0x64, 0x80), u'W', 3}, false);
    status->ForceFocusLook(true);
    status->OnGetStatusText = [](TMVWebElement&, QString& text) {
        text = u"Double-click to open the site in its own browser window"_s;
    };
    add(u"Focused, no thumbnail, no description: status text"_s, status);

    TMorvalenBaseClass& music =
        keeper->Add(u"Radio Tuner"_s, u"http://radio.example.net/"_s, u"Thousands of stations, one player"_s);
    TMVWebElement* both = Tile(&music, {QColor(0x24, 0x8C, 0xC4), u'T', 2});
    both->ForceFocusLook(true);
    both->SetHasBrowser(true);
    add(u"Focused with its browser open"_s, both);

    flashing->Flash();
    if (still) {
        // The picture shows the flash look, which starts with the first tick.
        QElapsedTimer clock;
        clock.start();
        while (flashing->FlashPhase() && clock.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    } else {
        auto* again = new QTimer(grid);
        again->setInterval(2500);
        QObject::connect(again, &QTimer::timeout, flashing, &TMVWebElement::Flash);
        again->start();
    }
    return Section(u"Site tiles"_s, u"The Installed tab: one card per site, dragged to rearrange"_s, {grid});
}

} // namespace GallerySections
