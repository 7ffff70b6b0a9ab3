#include "GallerySections.h"

#include "visual/LabelProgressBar.h"

using namespace Qt::Literals::StringLiterals;

namespace GallerySections {

namespace {

TLabelProgressBar* Bar(const TLPBStoredForm& form, TLPBViewSet view, int position)
{
    auto* bar = new TLabelProgressBar;
    bar->SetViewOptions(view);
    bar->LoadStoredForm(form);
    bar->SetPosition(position);
    bar->SetColor(0xFFFFFF); // the panel's ground
    bar->setFixedWidth(300);
    bar->setFixedHeight(bar->sizeHint().height());
    return bar;
}

} // namespace

QWidget* ProgressBars(bool still)
{
    using namespace LabelProgressBarData;
    QList<QWidget*> rows;

    auto* busy = Bar(MainWindowBar(), 0, 0);
    busy->SetBorder(brFlat);
    busy->SetSegmentWidth(8);
    busy->SetAnimationDelay(60);
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

    auto* capture = Bar(ThumbnailFormBar(), viewText | viewInfo, 45);
    capture->SetText(u"Capturing the page of Web Mail"_s);
    capture->SetInfo(u"Step 3 of 5: sharpening"_s);
    capture->SetSegmentShadow(true);
    rows << WithNote(u"Thumbnail capture with text and info lines"_s, capture);

    const std::pair<TLPBBorder, QString> borders[] = {
        {brLowered, u"Lowered border, 30 %"_s},
        {brRaised, u"Raised border, 55 %"_s},
        {brFlatBold, u"Bold flat border, 80 %"_s},
        {brFlatBoldRounded, u"Bold rounded border, full"_s},
    };
    int position = 30;
    for (const auto& [border, note] : borders) {
        auto* bar = Bar({20, {}, {}}, 0, position);
        bar->SetBorder(border);
        rows << WithNote(note, bar);
        position = position == 30 ? 55 : position == 55 ? 80 : 100;
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
