#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;

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
