#include "TPopUpBar.h"

#include "TPermissionBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TPopUpBar::TPopUpBar(QWidget* parent) : QWidget(parent)
{
    QHBoxLayout* row = nullptr;
    m_text = SetUpPageBar(*this, u"pnPopUpBlocked"_s, row);
    auto* open = new QPushButton(u"Open it"_s, this);
    open->setObjectName(u"btnOpenPopUp"_s);
    auto* allow = new QPushButton(u"Always allow pop-ups from this site"_s, this);
    allow->setObjectName(u"btnAllowPopUps"_s);
    auto* close = new QPushButton(u"Close"_s, this);
    // The page keeps the keyboard; the buttons take a click.
    for (QPushButton* button : {open, allow, close}) {
        button->setFocusPolicy(Qt::NoFocus);
        row->addWidget(button);
    }
    connect(open, &QPushButton::clicked, this, &TPopUpBar::OpenClicked);
    connect(allow, &QPushButton::clicked, this, &TPopUpBar::AllowClicked);
    connect(close, &QPushButton::clicked, this, &TPopUpBar::Clear);
    hide();
}

void TPopUpBar::Blocked(const QUrl& address)
{
    m_latest = address;
    ++m_count;
    m_text->setText(m_count == 1 ? u"Pop-up blocked"_s : u"Pop-up blocked (%1)"_s.arg(m_count));
    m_text->setToolTip(address.toDisplayString());
    show();
}

void TPopUpBar::Clear()
{
    m_latest.clear();
    m_count = 0;
    hide();
}
