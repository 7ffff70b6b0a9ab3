#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QHBoxLayout;
class QLabel;

// Gives a bar above a page (the permission question, "Pop-up blocked") its name, its look
// and its row, with the plain-text label the bar's text goes to; the bar adds its buttons.
QLabel* SetUpPageBar(QWidget& bar, const QString& objectName, QHBoxLayout*& row);

// The bar above a page that asks the user about a site's permission requests, one at a time
// in the order they came; hidden while nothing is asked.
class TPermissionBar final : public QWidget
{
    Q_OBJECT

public:
    explicit TPermissionBar(QWidget* parent = nullptr);

    void Ask(const QString& question, std::function<void(bool allowed)> answer);
    // The question shown now; empty when none.
    QString Pending() const;
    // Answers the question shown now and shows the next.
    void Answer(bool allowed);
    // Forgets every question unanswered (the page that asked is gone).
    void Clear();

private:
    struct TQuestion
    {
        QString Text;
        std::function<void(bool)> Answer;
    };

    void ShowNext();

    QLabel* m_text = nullptr;
    QList<TQuestion> m_questions;
};
