#include "GallerySections.h"

#include "panels/TSpecialFrame.h"
#include "pictures/Colors.h"
#include "progressbar/LabelProgressBar.h"
#include "progressbar/StatusBusyBar.h"

#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace GallerySections {

namespace {

TLabelProgressBar* Bar(const TLPBStoredForm& form, TLPBViewSet view, int position, TColor ground = clWindow)
{
    auto* bar = new TLabelProgressBar;
    bar->SetViewOptions(view);
    bar->LoadStoredForm(form);
    bar->SetPosition(position);
    bar->SetColor(ground);
    bar->setFixedHeight(bar->sizeHint().height());
    return bar;
}

// A dialog's body: the three-dimensional borders need its grey ground to show.
QWidget* DialogGround(const QList<QWidget*>& rows)
{
    auto* ground = new TSpecialFrame;
    ground->SetColor(clWindow);
    ground->SetFillColor(clBtnFace);
    ground->SetFrameColor(0xCECECE);
    ground->Corners().SetTopLeft(csRound);
    ground->Corners().SetTopRight(csRound);
    ground->Corners().SetBottomLeft(csRound);
    ground->Corners().SetBottomRight(csRound);
    auto* layout = new QVBoxLayout(ground);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    for (QWidget* row : rows)
        layout->addWidget(row);
    return ground;
}

} // namespace

QWidget* ProgressBars(bool still)
{
    using namespace LabelProgressBarData;
    QList<QWidget*> rows;

    auto* busy = new TLabelProgressBar;
    SetUpStatusBusyBar(*busy);
    busy->SetColor(clWindow);
    busy->setFixedHeight(busy->sizeHint().height());
    if (still) {
        // Three steps in: the whole group is inside the bar.
        auto clock = std::make_shared<int64_t>(0);
        busy->SetClock([clock] { return *clock; });
        busy->SetAnimationMode(true);
        for (int i = 0; i < 6; ++i) {
            *clock += 100;
            busy->AnimationTick();
        }
    } else {
        busy->SetAnimationMode(true);
    }
    rows << WithNote(u"Status bar busy indicator (animated)"_s, busy);

    auto* page = Bar(BrowserWindowBar(), 0, 62);
    page->SetSmooth(true);
    page->SetBorder(brFlatRounded);
    rows << WithNote(u"Page loading, smooth"_s, page);

    auto* capture = Bar(ThumbnailFormBar(), viewText | viewInfo, 45, clBtnFace);
    capture->SetText(u"Capturing the page of Web Mail"_s);
    capture->SetInfo(u"Step 3 of 5: sharpening"_s);
    capture->SetSegmentShadow(true);
    auto* lowered = Bar({20, {}, {}}, 0, 30, clBtnFace);
    auto* raised = Bar({20, {}, {}}, 0, 55, clBtnFace);
    raised->SetBorder(brRaised);
    rows << DialogGround({WithNote(u"Thumbnail capture: text and info lines, segment shadows"_s, capture),
                          WithNote(u"Lowered border, 30 %"_s, lowered),
                          WithNote(u"Raised border, 55 %"_s, raised)});

    const std::pair<TLPBBorder, QString> borders[] = {
        {brFlat, u"Flat border, 65 %"_s},
        {brFlatBold, u"Bold flat border, 80 %"_s},
        {brFlatBoldRounded, u"Bold rounded border, full"_s},
    };
    int position = 65;
    for (const auto& [border, note] : borders) {
        auto* bar = Bar({20, {}, {}}, 0, position);
        bar->SetBorder(border);
        rows << WithNote(note, bar);
        position = position == 65 ? 80 : 100;
    }

    const std::pair<TLPBPercentMode, TLPBPercentType> labels[] = {
        {percentCenter, showPercent},
        {percentFloat, showRange},
        {percentStart, showStatic},
    };
    for (const auto& [mode, type] : labels) {
        auto* bar = Bar({20, {}, {}}, 0, 40);
        bar->SetSmooth(true);
        bar->SetBorder(brFlat);
        bar->SetPercentView(mode);
        bar->SetPercentType(type);
        rows << WithNote(mode == percentCenter  ? u"Percentage in the middle"_s
                         : mode == percentFloat ? u"Count after the fill"_s
                                                : u"Static label at the start"_s,
                         bar);
    }
    return Section(u"Progress bars"_s, u"Segments, gradients, borders, busy mode and labels"_s, rows);
}

} // namespace GallerySections
