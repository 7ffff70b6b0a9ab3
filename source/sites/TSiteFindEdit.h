#pragma once

#include <QLineEdit>

#include <functional>

// The site finder of the "Installed" tab: it shows "type site title here" in grey while it
// is empty and unfocused, what the user types in navy, and on Enter asks OnFind for the
// first site whose title begins with the text. A found site empties the finder.
class TSiteFindEdit final : public QLineEdit
{
    Q_OBJECT

public:
    static constexpr char16_t kPlaceholder[] = u"type site title here";

    explicit TSiteFindEdit(QWidget* parent = nullptr);

    // Whether the placeholder shows (its text is no search).
    bool ShowsPlaceholder() const;
    // The text colour as the rules above leave it.
    QColor TextColor() const;

    // Asked with the lower-cased text; answers whether a site was found (and focused).
    std::function<bool(const QString& prefix)> OnFind;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void SetTextColor(const QColor& color);
    void ShowPlaceholderIfEmpty();
    void Find();
};
