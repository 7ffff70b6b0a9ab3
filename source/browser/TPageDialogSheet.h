#pragma once

#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// What a page's script asks the user: alert(), confirm(), prompt() and the question before
// leaving a page that has unsaved changes.
enum class TPageDialogKind : uint8_t
{
    Alert,
    Confirm,
    Prompt,
    BeforeUnload
};

// A page's dialog as a sheet at the top of its own tab: only that tab waits for the answer,
// while the window, its other tabs and the rest of the program go on and can be closed.
// From a page's second dialog on it offers to stop the page's dialogs, as browsers do.
class TPageDialogSheet final : public QWidget
{
    Q_OBJECT

public:
    // accepted: OK (or "Leave"); text: what the user typed into a prompt; stopDialogs: the
    // page shows no more dialogs.
    using TAnswer = std::function<void(bool accepted, const QString& text, bool stopDialogs)>;

    explicit TPageDialogSheet(QWidget* parent = nullptr);

    // Replaces a question still shown (its answer is a cancel).
    void Ask(TPageDialogKind kind, const QString& host, const QString& message, const QString& defaultText,
             bool offerStop, TAnswer answer);
    // The message shown now; empty when none.
    QString Pending() const;
    void Answer(bool accepted, const QString& text, bool stopDialogs);
    // The page that asked is gone or leaves: its question is cancelled.
    void Drop();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QLabel* m_heading = nullptr;
    QLabel* m_message = nullptr;
    QLineEdit* m_input = nullptr;
    QCheckBox* m_stop = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_pending;
    TAnswer m_answer;
};
