#include "TPermissionBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

QLabel* SetUpPageBar(QWidget& bar, const QString& objectName, QHBoxLayout*& row)
{
    bar.setObjectName(objectName);
    bar.setAutoFillBackground(true);
    QPalette colours = bar.palette();
    colours.setColor(QPalette::Window, QColor(0xFF, 0xF8, 0xDC));
    bar.setPalette(colours);
    row = new QHBoxLayout(&bar);
    row->setContentsMargins(8, 4, 8, 4);
    auto* text = new QLabel(&bar);
    text->setTextFormat(Qt::PlainText);
    row->addWidget(text, 1);
    return text;
}

TPermissionBar::TPermissionBar(QWidget* parent) : QWidget(parent)
{
    QHBoxLayout* row = nullptr;
    m_text = SetUpPageBar(*this, u"pnPermission"_s, row);
    auto* allow = new QPushButton(u"Allow"_s, this);
    auto* deny = new QPushButton(u"Deny"_s, this);
    // The page keeps the keyboard; the buttons take a click.
    allow->setFocusPolicy(Qt::NoFocus);
    deny->setFocusPolicy(Qt::NoFocus);
    row->addWidget(allow);
    row->addWidget(deny);
    connect(allow, &QPushButton::clicked, this, [this] { Answer(true); });
    connect(deny, &QPushButton::clicked, this, [this] { Answer(false); });
    hide();
}

void TPermissionBar::Ask(const QString& question, std::function<void(bool)> answer)
{
    m_questions.append({question, std::move(answer)});
    if (m_questions.size() == 1)
        ShowNext();
}

QString TPermissionBar::Pending() const
{
    return m_questions.isEmpty() ? QString() : m_questions.constFirst().Text;
}

void TPermissionBar::Answer(bool allowed)
{
    if (m_questions.isEmpty())
        return;
    const TQuestion question = m_questions.takeFirst();
    ShowNext();
    if (question.Answer)
        question.Answer(allowed);
}

void TPermissionBar::Clear()
{
    m_questions.clear();
    ShowNext();
}

void TPermissionBar::ShowNext()
{
    setVisible(!m_questions.isEmpty());
    if (!m_questions.isEmpty())
        m_text->setText(m_questions.constFirst().Text);
}
