#include "TSiteFindEdit.h"

#include <QFocusEvent>

namespace {

// Navy, $800000.
const QColor kTypedColor(0, 0, 128);

QColor GreyTextColor(const QPalette& palette)
{
    return palette.color(QPalette::Disabled, QPalette::WindowText);
}

} // namespace

TSiteFindEdit::TSiteFindEdit(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("edSiteFind"));
    setAccessibleName(QStringLiteral("Site find"));
    setAccessibleDescription(QStringLiteral("Type the beginning of a site title and press Enter"));
    setText(QString::fromUtf16(kPlaceholder));
    SetTextColor(GreyTextColor(palette()));
    connect(this, &QLineEdit::textEdited, this, [this] { SetTextColor(kTypedColor); });
    connect(this, &QLineEdit::returnPressed, this, [this] { Find(); });
}

bool TSiteFindEdit::ShowsPlaceholder() const
{
    return text() == QString::fromUtf16(kPlaceholder) && TextColor() != kTypedColor;
}

QColor TSiteFindEdit::TextColor() const
{
    return palette().color(QPalette::Active, QPalette::Text);
}

void TSiteFindEdit::SetTextColor(const QColor& color)
{
    QPalette colours = palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive})
        colours.setColor(group, QPalette::Text, color);
    setPalette(colours);
}

void TSiteFindEdit::focusInEvent(QFocusEvent* event)
{
    if (text() == QString::fromUtf16(kPlaceholder)) {
        clear();
        SetTextColor(GreyTextColor(palette()));
    } else {
        SetTextColor(kTypedColor);
    }
    QLineEdit::focusInEvent(event);
}

void TSiteFindEdit::focusOutEvent(QFocusEvent* event)
{
    ShowPlaceholderIfEmpty();
    QLineEdit::focusOutEvent(event);
}

void TSiteFindEdit::ShowPlaceholderIfEmpty()
{
    if (text().isEmpty()) {
        setText(QString::fromUtf16(kPlaceholder));
        SetTextColor(GreyTextColor(palette()));
    } else {
        SetTextColor(kTypedColor);
    }
}

void TSiteFindEdit::Find()
{
    if (ShowsPlaceholder() || !OnFind)
        return;
    if (OnFind(text().toLower())) {
        clear();
        ShowPlaceholderIfEmpty();
    }
}
