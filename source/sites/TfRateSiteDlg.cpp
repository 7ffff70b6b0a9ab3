#include "TfRateSiteDlg.h"

#include "SiteRating.h"
#include "TMorvalenBaseClass.h"
#include "details/TMVRating.h"
#include "dialogs/OwnerDrawnComboBox.h"
#include "panels/TDialogHeader.h"
#include "pictures/GraphicTools.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kTextLeft = 4;
constexpr int kStarsAfterText = 70;
constexpr int kStarStep = 14;
constexpr int kStarTop = 2;

} // namespace

const QStringList& TfRateSiteDlg::Choices()
{
    static const QStringList choices = {u"One star"_s, u"Two stars"_s, u"Three stars"_s, u"Four stars"_s,
                                        u"Five stars"_s};
    return choices;
}

TfRateSiteDlg::TfRateSiteDlg(const QString& siteTitle, float currentRating, QWidget* parent)
    : TMVDialog(parent), m_star(GraphicTools::LoadPngResource(u"rtStarFull"_s))
{
    setWindowTitle(u"Rate site"_s);
    TDialogHeader* header =
        DialogParts::Header(u"png_Star"_s, u"Rate site <color clBlue>"_s + siteTitle + u"</color>."_s,
                            u"Rate this site from 1 to 5 stars."_s, this);

    m_current = new TMVRating(this);
    m_current->setObjectName(u"rtCurrentRating"_s);
    m_current->SetCaption(u"Current rating:"_s);
    m_current->SetRating(currentRating);

    auto* label = new QLabel(u"Rate this site"_s, this);
    m_choices = new OwnerDrawnComboBox(this);
    m_choices->setObjectName(u"cmbRating"_s);
    m_choices->addItems(Choices());
    m_choices->setCurrentIndex(0);
    m_choices->SetDrawItem([this](QPainter& painter, const QRect& rect, int index, bool selected) {
        DrawChoice(painter, rect, index, selected);
    });
    label->setBuddy(m_choices);

    QPushButton* ok = DialogParts::Button(u"Ok"_s, this);
    ok->setObjectName(u"btnOk"_s);
    ok->setDefault(true);
    QPushButton* cancel = DialogParts::Button(u"Cancel"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (m_choices->currentIndex() >= 0)
            done(mrOk);
    });
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* grid = new QGridLayout;
    grid->setContentsMargins(16, 14, 16, 8);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    grid->addWidget(m_current, 0, 0, 1, 2);
    grid->addWidget(label, 1, 0);
    grid->addWidget(m_choices, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(1, 170);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(grid);
    layout->addStretch(1);
    QBoxLayout* buttons = DialogParts::ButtonRow({ok, cancel});
    buttons->setContentsMargins(16, 8, 16, 12);
    layout->addLayout(buttons);
    setFixedSize(340, 190);
    m_choices->setFocus();
}

int TfRateSiteDlg::ChosenRating() const
{
    return m_choices->currentIndex() + 1;
}

void TfRateSiteDlg::DrawChoice(QPainter& painter, const QRect& rect, int index, bool selected) const
{
    // The text ends where the stars begin.
    const QRect textRect(rect.left(), rect.top(), kTextLeft + kStarsAfterText - 2, rect.height());
    m_choices->DrawText(painter, textRect, kTextLeft, m_choices->itemText(index), selected);
    int x = rect.left() + kTextLeft + kStarsAfterText;
    for (int i = 0; i <= index; ++i, x += kStarStep)
        painter.drawImage(x, rect.top() + kStarTop, m_star);
}

std::optional<int> AskSiteRating(const QString& siteTitle, float currentRating, QWidget* parent)
{
    TfRateSiteDlg dialog(siteTitle, currentRating, parent);
    if (dialog.exec() != mrOk)
        return std::nullopt;
    return dialog.ChosenRating();
}

bool RateSite(TMorvalenBaseClass& site, const TWebApplicationList& applications, const QString& server,
              QWidget* parent)
{
    const std::optional<int> rating =
        AskSiteRating(site.Title(), SiteRating::CurrentRating(site, applications), parent);
    if (!rating)
        return false;
    SiteRating::Rate(site, *rating, server, parent);
    return true;
}
