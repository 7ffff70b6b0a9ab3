#include "TStoppedPage.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TStoppedPage::TStoppedPage(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"pnStopped"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(36, 36, 36, 36);
    auto* heading = new QLabel(u"<h2>%1</h2>"_s.arg(kTitle), this);
    m_text = new QLabel(this);
    m_text->setWordWrap(true);
    m_reload = new QPushButton(u"Reload"_s, this);
    m_reload->setObjectName(u"btnReload"_s);
    m_reload->setDefault(true);
    connect(m_reload, &QPushButton::clicked, this, &TStoppedPage::ReloadClicked);
    layout->addWidget(heading);
    layout->addWidget(m_text);
    layout->addWidget(m_reload, 0, Qt::AlignLeft);
    layout->addStretch(1);
    setFocusProxy(m_reload);
}

void TStoppedPage::SetAddress(const QString& address)
{
    m_text->setText(u"The page <b>%1</b> ended unexpectedly."_s.arg(address.toHtmlEscaped()));
}
