#pragma once

#include "DialogParts.h"

#include <QImage>

class THtmlLabel;
class QPushButton;

// The program's yes-or-no question: a question picture, two markup lines (the second may
// show the caller's icon as "<img 1>") and, for the quit question, the number of open
// browser windows. "Yes" answers mrYes, "No", Escape and the close button mrCancel.
class TfConfirmationDlg final : public TMVDialog
{
    Q_OBJECT

public:
    explicit TfConfirmationDlg(QWidget* parent = nullptr);

    void SetTexts(const QString& text, const QString& text2);
    // The picture "<img 1>" stands for in the second line.
    void SetIcon(const QImage& icon) { m_icon = icon; }
    // Shows "Open browsers: n" when n is above 0.
    void SetOpenBrowsers(int count);

private:
    THtmlLabel* m_text;
    THtmlLabel* m_text2;
    THtmlLabel* m_openBrowsers;
    QImage m_icon;
};

// Asks the question; returns mrYes or mrCancel. icon is drawn for "<img 1>" in text2.
int Confirm(const QString& text, const QString& text2, const QImage& icon = {}, QWidget* parent = nullptr);

// Asks whether to quit, telling how many browser windows are open; returns mrYes or mrCancel.
int ConfirmQuit(int openBrowsers, QWidget* parent = nullptr);
