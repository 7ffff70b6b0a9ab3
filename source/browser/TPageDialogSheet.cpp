#include "TPageDialogSheet.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

// A page can hand over megabytes of text; what fits a sheet is shown.
constexpr qsizetype kMaxMessage = 2000;

} // namespace

TPageDialogSheet::TPageDialogSheet(QWidget* parent) : QWidget(parent)
{
    setObjectName(u"pnPageDialog"_s);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(0xF2, 0xF4, 0xF8));
    setPalette(colours);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(12, 8, 12, 8);
    m_heading = new QLabel(this);
    m_heading->setTextFormat(Qt::PlainText);
    QFont bold = m_heading->font();
    bold.setBold(true);
    m_heading->setFont(bold);
    column->addWidget(m_heading);
    m_message = new QLabel(this);
    // The page's words, never markup of its choice.
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(m_message);
    m_input = new QLineEdit(this);
    m_input->setObjectName(u"edPageDialog"_s);
    column->addWidget(m_input);
    m_stop = new QCheckBox(u"Prevent this page from creating additional dialogs"_s, this);
    m_stop->setObjectName(u"cbStopDialogs"_s);
    column->addWidget(m_stop);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    m_ok = new QPushButton(u"OK"_s, this);
    m_ok->setObjectName(u"btnPageDialogOK"_s);
    m_cancel = new QPushButton(u"Cancel"_s, this);
    m_cancel->setObjectName(u"btnPageDialogCancel"_s);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    column->addLayout(buttons);
    connect(m_ok, &QPushButton::clicked, this,
            [this] { Answer(true, m_input->text(), m_stop->isChecked()); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { Answer(false, {}, m_stop->isChecked()); });
    connect(m_input, &QLineEdit::returnPressed, m_ok, &QPushButton::click);
    hide();
}

void TPageDialogSheet::Ask(TPageDialogKind kind, const QString& host, const QString& message,
                           const QString& defaultText, bool offerStop, TAnswer answer)
{
    Drop();
    m_answer = std::move(answer);
    m_pending = message.isEmpty() ? u" "_s : message;
    if (kind == TPageDialogKind::BeforeUnload) {
        // The page's own words are not shown here (browsers stopped that for misleading texts).
        m_heading->setText(u"Leave site?"_s);
        m_message->setText(u"Changes you made may not be saved."_s);
        m_ok->setText(u"Leave"_s);
    } else {
        m_heading->setText(u"%1 says"_s.arg(host));
        m_message->setText(message.size() > kMaxMessage ? message.left(kMaxMessage) + u"…"_s : message);
        m_ok->setText(u"OK"_s);
    }
    m_cancel->setVisible(kind != TPageDialogKind::Alert);
    m_input->setVisible(kind == TPageDialogKind::Prompt);
    m_input->setText(defaultText);
    m_stop->setChecked(false);
    m_stop->setVisible(offerStop && kind != TPageDialogKind::BeforeUnload);
    show();
    // The keyboard answers the sheet, but only in a tab the user looks at.
    if (isVisible()) {
        if (kind == TPageDialogKind::Prompt) {
            m_input->setFocus(Qt::OtherFocusReason);
            m_input->selectAll();
        } else {
            m_ok->setFocus(Qt::OtherFocusReason);
        }
    }
}

QString TPageDialogSheet::Pending() const
{
    return m_answer ? m_pending : QString();
}

void TPageDialogSheet::Answer(bool accepted, const QString& text, bool stopDialogs)
{
    if (!m_answer)
        return;
    const TAnswer answer = std::exchange(m_answer, nullptr);
    m_pending.clear();
    hide();
    answer(accepted, text, stopDialogs);
}

void TPageDialogSheet::Drop()
{
    Answer(false, {}, false);
}

void TPageDialogSheet::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        Answer(false, {}, m_stop->isChecked());
        return;
    }
    QWidget::keyPressEvent(event);
}
