#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QLineEdit;

// The bar below the page that finds text in it: the text, the next and previous match, how
// many there are where the engine says, and a close button. Enter goes to the next match,
// Shift+Enter to the previous one, Esc closes the bar. It finds as the user types.
class TBrowserFindBar final : public QWidget
{
    Q_OBJECT

public:
    explicit TBrowserFindBar(QWidget* parent = nullptr);

    // Shows the bar with its text selected and the keyboard in it.
    void Open();
    QString Text() const;
    QLineEdit* TextBox() const { return m_text; }
    // What the match count says ("2 of 5", "5 matches", "No matches"); empty before an answer.
    QString MatchText() const;
    // The engine's answer: -1 where it does not say.
    void ShowResult(int activeMatch, int matches);
    void ClearResult();

signals:
    // Text is never empty.
    void FindRequested(const QString& text, bool backward);
    void Closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Request(bool backward);
    void Close();

    QLineEdit* m_text = nullptr;
    QLabel* m_matches = nullptr;
};
