#include "TBrowserNavigationBar.h"

#include "TBrowserTab.h"
#include "TfrmInternetBrowser.h"
#include "pictures/GraphicTools.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

QIcon Icon(const QString& name)
{
    return GraphicTools::LoadIconResource(name);
}

// Back and Forward have pictures of their own for the disabled state.
QIcon TwoStateIcon(const QString& name)
{
    QIcon icon;
    icon.addPixmap(Icon(name).pixmap(16, 16), QIcon::Normal);
    icon.addPixmap(Icon(name + u"_Dis"_s).pixmap(16, 16), QIcon::Disabled);
    return icon;
}

} // namespace

TBrowserNavigationBar::TBrowserNavigationBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"DialogHeader1"_s);
    setFixedHeight(29);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 1, 2, 1);
    row->setSpacing(4);

    m_urlTitleImage = new QLabel(this);
    m_urlTitleImage->setObjectName(u"imgURLTitle"_s);
    m_urlTitleImage->setFixedSize(16, 16);
    m_urlTitleImage->setCursor(Qt::PointingHandCursor);
    m_urlTitleImage->installEventFilter(this);
    row->addWidget(m_urlTitleImage);

    m_address = new QLineEdit(this);
    m_address->setObjectName(u"edURLPath"_s);
    connect(m_address, &QLineEdit::returnPressed, this, [this] { emit AddressEntered(m_address->text()); });
    row->addWidget(m_address, 1);
    m_pageTitle = new QLabel(this);
    m_pageTitle->setObjectName(u"lbPageTitle"_s);
    QFont bold = m_pageTitle->font();
    bold.setBold(true);
    m_pageTitle->setFont(bold);
    m_pageTitle->setTextFormat(Qt::PlainText);
    m_pageTitle->setMinimumWidth(50);
    m_pageTitle->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    row->addWidget(m_pageTitle, 1);

    auto* toolbar = new QToolBar(this);
    toolbar->setObjectName(u"tlbMainToolBar"_s);
    toolbar->setIconSize(QSize(16, 16));
    toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto onFrame = [this](void (TfrmInternetBrowser::*command)()) {
        return [this, command] {
            if (m_tab)
                (m_tab->Frame()->*command)();
        };
    };
    m_back = toolbar->addAction(TwoStateIcon(u"res_Ico_WebBack"_s), u"Back"_s);
    m_back->setObjectName(u"tbtnBack"_s);
    m_back->setEnabled(false);
    connect(m_back, &QAction::triggered, this, onFrame(&TfrmInternetBrowser::GoBack));
    m_forward = toolbar->addAction(TwoStateIcon(u"res_Ico_WebForward"_s), u"Forward"_s);
    m_forward->setObjectName(u"tbtnForward"_s);
    m_forward->setEnabled(false);
    connect(m_forward, &QAction::triggered, this, onFrame(&TfrmInternetBrowser::GoForward));
    m_refresh = toolbar->addAction(Icon(u"res_Ico_WebRefresh"_s), u"Refresh"_s);
    m_refresh->setObjectName(u"tbtnRefresh"_s);
    connect(m_refresh, &QAction::triggered, this, onFrame(&TfrmInternetBrowser::RefreshPage));
    m_misc = new QToolButton(toolbar);
    m_misc->setObjectName(u"tbtnMisc"_s);
    m_misc->setIcon(Icon(u"res_Ico_WebMisc"_s));
    m_misc->setText(u"Options"_s);
    m_misc->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_misc->setPopupMode(QToolButton::InstantPopup);
    m_misc->setAutoRaise(true);
    toolbar->addWidget(m_misc)->setObjectName(u"tbtnMiscAction"_s);
    row->addWidget(toolbar);

    m_closeTab = new QToolButton(this);
    m_closeTab->setObjectName(u"tbtnCloseTab"_s);
    m_closeTab->setIcon(Icon(u"res_Ico_Stop"_s));
    m_closeTab->setAutoRaise(true);
    // Hints show in the window's status line, not as tooltips.
    m_closeTab->setStatusTip(u"Close page"_s);
    m_closeTab->hide();
    connect(m_closeTab, &QToolButton::clicked, this, &TBrowserNavigationBar::CloseTabClicked);
    row->addWidget(m_closeTab);

    m_pageTitle->clear();
    m_address->clear();
    SetShowURL(true);
}

void TBrowserNavigationBar::SetCurrentTab(TBrowserTab* tab)
{
    for (const QMetaObject::Connection& connection : std::as_const(m_following))
        disconnect(connection);
    m_following.clear();
    m_tab = tab;
    if (!tab)
        return;
    TfrmInternetBrowser* frame = tab->Frame();
    m_following = {
        connect(frame, &TfrmInternetBrowser::TitleChanged, this,
                [this](const QString& title) {
                    m_pageTitle->setText(title);
                    m_address->setText(m_tab->Frame()->GetLocationURL());
                }),
        connect(frame, &TfrmInternetBrowser::CommandStateChanged, this,
                &TBrowserNavigationBar::ShowCommandState),
        connect(frame, &TfrmInternetBrowser::DocumentCompleted, this,
                [this] { m_address->setText(m_tab->Frame()->GetLocationURL()); }),
    };
    ShowFrameState();
}

void TBrowserNavigationBar::ShowFrameState()
{
    const TfrmInternetBrowser& frame = *m_tab->Frame();
    ShowCommandState();
    m_pageTitle->setText(frame.Title());
    m_address->setText(frame.GetLocationURL());
}

void TBrowserNavigationBar::ShowCommandState()
{
    m_back->setEnabled(m_tab->Frame()->CanGoBack());
    m_forward->setEnabled(m_tab->Frame()->CanGoForward());
}

void TBrowserNavigationBar::SetShowURL(bool showUrl)
{
    m_showUrl = showUrl;
    m_address->setVisible(showUrl);
    m_pageTitle->setVisible(!showUrl);
    m_urlTitleImage->setPixmap(QPixmap::fromImage(GraphicTools::LoadPngResource(
        showUrl ? u"cbGlyphClose"_s : u"cbGlyphOpen"_s, GraphicTools::ProgramPixelRatio())));
    m_urlTitleImage->setStatusTip(showUrl ? u"Click to view Page Title"_s : u"Click to view Page URL"_s);
}

void TBrowserNavigationBar::SetOptionsMenu(QMenu* menu)
{
    m_misc->setMenu(menu);
}

void TBrowserNavigationBar::SetOptionsVisible(bool visible)
{
    m_misc->setVisible(visible);
}

void TBrowserNavigationBar::SetCloseTabVisible(bool visible)
{
    m_closeTab->setVisible(visible);
}

bool TBrowserNavigationBar::CloseTabVisible() const
{
    return !m_closeTab->isHidden();
}

void TBrowserNavigationBar::FocusAddress()
{
    if (!m_showUrl)
        return;
    m_address->setFocus();
    m_address->deselect();
    m_address->end(false);
}

QString TBrowserNavigationBar::PageTitle() const
{
    return m_pageTitle->text();
}

bool TBrowserNavigationBar::BackEnabled() const
{
    return m_back->isEnabled();
}

bool TBrowserNavigationBar::ForwardEnabled() const
{
    return m_forward->isEnabled();
}

bool TBrowserNavigationBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_urlTitleImage && event->type() == QEvent::MouseButtonRelease) {
        SetShowURL(!m_showUrl);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
