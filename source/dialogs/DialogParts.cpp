#include "DialogParts.h"

#include "markup/HtmlLabel.h"
#include "panels/TDialogHeader.h"
#include "panels/TMVDelimiter.h"
#include "pictures/GraphicTools.h"

#include <QAction>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TMVDialog::TMVDialog(QWidget* parent) : QDialog(parent)
{
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
}

void TMVDialog::reject()
{
    done(mrCancel);
}

namespace DialogParts {

THtmlLabel* MarkupLine(const QString& caption, QWidget* parent)
{
    auto* label = new THtmlLabel(parent);
    label->SetCaption(caption);
    label->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    label->setMinimumHeight(label->fontMetrics().height() + 3);
    return label;
}

TDialogHeader* Header(const QString& picture, const QString& title, const QString& text, QWidget* parent)
{
    auto* header = new TDialogHeader(parent);
    header->SetImage(GraphicTools::LoadPngResource(picture, GraphicTools::ProgramPixelRatio()));
    header->setFixedHeight(std::max(56, header->Image().height() + 12));
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(14, 8, 8, 8);
    layout->setSpacing(4);
    layout->addStretch(1);
    THtmlLabel* titleLine = MarkupLine(u"<b>"_s + title + u"</b>"_s, header);
    titleLine->setObjectName(u"hlbTitle"_s);
    QFont titleFont = titleLine->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() + 1);
    titleLine->setFont(titleFont);
    titleLine->setMinimumHeight(titleLine->fontMetrics().height() + 3);
    THtmlLabel* textLine = MarkupLine(text, header);
    textLine->setObjectName(u"hlbText"_s);
    textLine->setVisible(!text.isEmpty());
    layout->addWidget(titleLine);
    layout->addWidget(textLine);
    layout->addStretch(1);
    return header;
}

QPushButton* Button(const QString& caption, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false);
    button->setMinimumWidth(80);
    return button;
}

QToolButton* ToolButton(QWidget* parent, QAction* action)
{
    auto* button = new QToolButton(parent);
    if (action)
        button->setDefaultAction(action);
    button->setAutoRaise(true);
    button->setIconSize(QSize(24, 24));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return button;
}

QFrame* ToolSeparator(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

QBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    row->addStretch(1);
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

QSize FitOnScreen(const QWidget* window, QSize size)
{
    // A dialog shows where its parent is; before that, the widget knows only the primary.
    const QWidget* shownBeside = window->parentWidget() ? window->parentWidget()->window() : window;
    const QScreen* screen = shownBeside->screen();
    if (!screen)
        return size;
    // A title bar and borders of a usual window manager, in the program's pixels.
    const QSize frame(16, 40);
    return size.boundedTo((screen->availableGeometry().size() - frame).expandedTo(QSize(200, 150)));
}

void SetFixedSizeOnScreen(QWidget* window, QSize size)
{
    window->setFixedSize(FitOnScreen(window, size));
}

QWidget* GroupHeading(const QString& caption, QWidget* parent)
{
    auto* heading = new QWidget(parent);
    auto* layout = new QVBoxLayout(heading);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto* label = new QLabel(caption, heading);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    auto* line = new TMVDelimiter(heading);
    line->SetFillType(ftGradientNT);
    line->setFixedHeight(5);
    layout->addWidget(label);
    layout->addWidget(line);
    return heading;
}

} // namespace DialogParts
