#include "GalleryWindow.h"

#include "DialogSamples.h"
#include "GallerySections.h"

#include "markup/HtmlLabel.h"
#include "panels/TDialogHeader.h"
#include "panels/TSpecialFrame.h"
#include "pictures/GraphicTools.h"
#include "progressbar/LabelProgressBar.h"

#include <QGridLayout>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

GalleryWindow::GalleryWindow(bool still, QWidget* parent) : QWidget(parent)
{
    setWindowTitle(u"Morvalen Desktop: controls"_s);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* header = new TDialogHeader;
    header->setFixedHeight(56);
    header->SetImage(GraphicTools::LoadPngResource(u"png_MorvalenProLogo"_s));
    auto* headerLayout = new QVBoxLayout(header);
    headerLayout->setContentsMargins(16, 8, 16, 8);
    auto* title = new THtmlLabel;
    QFont titleFont = title->font();
    titleFont.setPointSize(12);
    title->setFont(titleFont);
    title->setMinimumHeight(22);
    title->SetCaption(u"<b>Morvalen <color $00F06048>Desktop</color></b> controls"_s);
    auto* subtitle = new THtmlLabel;
    subtitle->setMinimumHeight(14);
    subtitle->SetCaption(
        u"Every control of the program in each of its states, drawn by the program itself."_s);
    headerLayout->addWidget(title);
    headerLayout->addWidget(subtitle);
    outer->addWidget(header);

    auto* body = new TSpecialFrame;
    body->SetColor(0xF7F3F2);
    body->SetFillColor(0xF7F3F2);
    body->SetFrameColor(0xF7F3F2);
    auto* grid = new QGridLayout(body);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setSpacing(10);
    grid->addWidget(GallerySections::MarkupLabels(), 0, 0);
    grid->addWidget(GallerySections::Panels(), 1, 0, 2, 1);
    grid->addWidget(GallerySections::Separators(), 0, 1);
    grid->addWidget(GallerySections::Menus(), 1, 1, 2, 1);
    grid->addWidget(GallerySections::ProgressBars(still), 0, 2, 3, 1);
    grid->addWidget(GallerySections::Tiles(still), 3, 0, 1, 2);
    grid->addWidget(GallerySections::DetailStates(), 3, 2);
    grid->addWidget(GallerySections::DetailsPanel(), 4, 0, 1, 3);
    grid->setRowStretch(2, 1);

    auto* dialogButtons = new QWidget;
    auto* buttonRow = new QHBoxLayout(dialogButtons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    for (const QString& name : DialogSamples::Names()) {
        auto* button = new QPushButton(name, dialogButtons);
        connect(button, &QPushButton::clicked, this, [name] {
            if (QWidget* dialog = DialogSamples::Make(name))
                dialog->show();
        });
        buttonRow->addWidget(button);
    }
    buttonRow->addStretch(1);
    QWidget* dialogs = GallerySections::Section(
        u"Dialogs"_s, u"Each dialog of the program with sample content"_s, {dialogButtons});
    dialogs->setFixedHeight(90);
    grid->addWidget(dialogs, 5, 0, 1, 3);
    outer->addWidget(body, 1);

    if (!still) {
        // The main window's busy ticker runs every 50 ms; the bars step by their own delay.
        m_ticker = new QTimer(this);
        m_ticker->setInterval(50);
        connect(m_ticker, &QTimer::timeout, this, [this] {
            for (TLabelProgressBar* bar : findChildren<TLabelProgressBar*>()) {
                if (bar->AnimationMode())
                    bar->AnimationTick();
            }
        });
        m_ticker->start();
    }
}
