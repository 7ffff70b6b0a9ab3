#include "TBrowserFindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

TBrowserFindBar::TBrowserFindBar(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"pnFind"_s);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    auto* caption = new QLabel(u"Find:"_s, this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(u"edtFind"_s);
    m_text->setClearButtonEnabled(true);
    m_text->setMinimumWidth(200);
    caption->setBuddy(m_text);
    m_text->installEventFilter(this);
    const auto button = [this](const QString& name, const QString& text, const QString& tip) {
        auto* tool = new QToolButton(this);
        tool->setObjectName(name);
        tool->setText(text);
        tool->setToolTip(tip);
        tool->setAutoRaise(true);
        return tool;
    };
    QToolButton* previous = button(u"btnFindPrevious"_s, u"Previous"_s, u"Previous match (Shift+Enter)"_s);
    QToolButton* next = button(u"btnFindNext"_s, u"Next"_s, u"Next match (Enter)"_s);
    QToolButton* close = button(u"btnFindClose"_s, u"\u00D7"_s, u"Close the find bar (Esc)"_s);
    m_matches = new QLabel(this);
    m_matches->setObjectName(u"lblFindMatches"_s);
    row->addWidget(caption);
    row->addWidget(m_text);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(m_matches);
    row->addStretch(1);
    row->addWidget(close);
    connect(previous, &QToolButton::clicked, this, [this] { Request(true); });
    connect(next, &QToolButton::clicked, this, [this] { Request(false); });
    connect(close, &QToolButton::clicked, this, &TBrowserFindBar::Close);
    connect(m_text, &QLineEdit::textEdited, this, [this] {
        ClearResult();
        Request(false);
    });
    hide();
}

void TBrowserFindBar::Open()
{
    show();
    m_text->setFocus(Qt::ShortcutFocusReason);
    m_text->selectAll();
}

QString TBrowserFindBar::Text() const
{
    return m_text->text();
}

QString TBrowserFindBar::MatchText() const
{
    return m_matches->text();
}

void TBrowserFindBar::ShowResult(int activeMatch, int matches)
{
    if (m_text->text().isEmpty()) {
        ClearResult();
        return;
    }
    if (matches == 0)
        m_matches->setText(u"No matches"_s);
    else if (activeMatch > 0 && matches > 0)
        m_matches->setText(u"%1 of %2"_s.arg(activeMatch).arg(matches));
    else if (matches == 1)
        m_matches->setText(u"1 match"_s);
    else if (matches > 1)
        m_matches->setText(u"%1 matches"_s.arg(matches));
    else
        m_matches->clear();
}

void TBrowserFindBar::ClearResult()
{
    m_matches->clear();
}

void TBrowserFindBar::Request(bool backward)
{
    // An empty text asks the page to drop its marks, which is the window's part.
    emit FindRequested(m_text->text(), backward);
}

void TBrowserFindBar::Close()
{
    hide();
    ClearResult();
    emit Closed();
}

bool TBrowserFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_text || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter && key->key() != Qt::Key_Escape)
        return QWidget::eventFilter(watched, event);
    // Esc and Enter are the bar's while it has the keyboard, not the window's.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    if (enter)
        Request(key->modifiers().testFlag(Qt::ShiftModifier));
    else
        Close();
    return true;
}
