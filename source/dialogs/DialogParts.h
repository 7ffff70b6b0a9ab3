#pragma once

#include "ModalResult.h"

#include <QDialog>
#include <QString>

#include <initializer_list>

class QAction;
class QBoxLayout;
class QFrame;
class QPushButton;
class QToolButton;
class TDialogHeader;
class THtmlLabel;

// The base of the program's dialogs: Escape and the window's close button answer "Cancel"
// (mrCancel), as every dialog of the program reports it.
class TMVDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TMVDialog(QWidget* parent = nullptr);

    void reject() override;
};

// The pieces every dialog is made of, so that all of them look alike.
namespace DialogParts {

// A markup label one line high that takes the width it is given.
THtmlLabel* MarkupLine(const QString& caption, QWidget* parent = nullptr);

// The white band at the top: the named picture on the right, a bold title line and a text
// line beside it. The labels are named "hlbTitle" and "hlbText".
TDialogHeader* Header(const QString& picture, const QString& title, const QString& text,
                      QWidget* parent = nullptr);

// A push button of the program's size.
QPushButton* Button(const QString& caption, QWidget* parent = nullptr);

// A flat button in a window's row of tools, for action when one is given: its picture at 24
// pixels, the text beside it. A row of them looks and works like a tool bar, without a tool
// bar's own style sheet and overflow menu to make at start.
QToolButton* ToolButton(QWidget* parent, QAction* action = nullptr);
// The line between groups of such buttons.
QFrame* ToolSeparator(QWidget* parent);

// The buttons at the bottom right, in the order given.
QBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

// The part of size that the free area of the screen window will show on has room for,
// leaving room for the window manager's frame: at a large scale (QT_SCALE_FACTOR=2 on a
// 1280 px screen) a window laid out for 96 dpi would be wider than the screen.
QSize FitOnScreen(const QWidget* window, QSize size);
// setFixedSize with what FitOnScreen leaves; the layout squeezes the controls into it.
void SetFixedSizeOnScreen(QWidget* window, QSize size);

// A bold heading over a fading separator line, for the groups of a dialog.
QWidget* GroupHeading(const QString& caption, QWidget* parent = nullptr);

} // namespace DialogParts
