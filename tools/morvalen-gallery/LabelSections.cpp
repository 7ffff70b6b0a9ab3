#include "GallerySections.h"

#include "markup/HtmlLabel.h"
#include "panels/TDscLabel.h"
#include "panels/TMVDelimiter.h"
#include "panels/TMVFrame.h"
#include "panels/TSpecialFrame.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace GallerySections {

namespace {

// A small stand-in favourite icon: a rounded square with a letter.
QImage SiteIcon(const QColor& color, QChar letter)
{
    QImage icon(16, 16, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(color);
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 15, 15), 3, 3);
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(letter));
    return icon;
}

QImage Delimiter()
{
    QImage picture(9, 13, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x8F, 0x9A, 0xB0), 1.6));
    painter.drawPolyline(QPolygonF({QPointF(2.5, 2.5), QPointF(6.5, 6.5), QPointF(2.5, 10.5)}));
    return picture;
}

THtmlLabel* Label(const QString& caption, int width = 330)
{
    auto* label = new THtmlLabel;
    label->setFixedSize(width, 17);
    label->SetCaption(caption);
    label->OnGetImage = [](THtmlLabel&, const QString& image, QImage& picture) {
        if (image == u"delimiter"_s)
            picture = Delimiter();
        else if (image == u"0"_s)
            picture = SiteIcon(QColor(0x31, 0x6A, 0xC5), u'M');
        else if (image == u"1"_s)
            picture = SiteIcon(QColor(0xE0, 0x6C, 0x1E), u'N');
    };
    return label;
}

TMVFrame* Frame(const QString& caption, const QString& help, int height)
{
    auto* frame = new TMVFrame;
    frame->SetCaption(caption);
    frame->SetHelpText(help);
    frame->setFixedHeight(height);
    auto* content = new QVBoxLayout(frame);
    content->setContentsMargins(8, 6, 8, 6);
    auto* text = new QLabel(u"Content area"_s);
    text->setAlignment(Qt::AlignCenter);
    text->setStyleSheet(u"color: #9a9a9a;"_s);
    content->addWidget(text);
    return frame;
}

} // namespace

QWidget* WithNote(const QString& note, QWidget* control)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* label = new QLabel(note);
    label->setStyleSheet(u"color: #7a7a8a;"_s);
    layout->addWidget(label);
    layout->addWidget(control);
    return box;
}

QWidget* Section(const QString& caption, const QString& help, const QList<QWidget*>& rows)
{
    auto* frame = new TMVFrame;
    frame->SetCaption(caption);
    frame->SetHelpText(help);
    frame->SetBottomBackground(true);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(7);
    for (QWidget* row : rows)
        layout->addWidget(row);
    layout->addStretch(1);
    return frame;
}

QWidget* MarkupLabels()
{
    auto* disabled = Label(u"Disabled: <b>bold</b>, <color clRed>red</color> and <a 1>a link</a>"_s);
    disabled->setEnabled(false);
    return Section(
        u"Markup label"_s, u"Bold, italic, underline, colours, links and pictures on one line"_s,
        {
            WithNote(u"Status line"_s, Label(u"Welcome to <b>Morvalen Desktop</b>!"_s)),
            WithNote(u"Search results and nothing found"_s,
                     Label(u"Search results for <color clBlue><b>mail</b></color>. Results: <b>12</b>."_s)),
            Label(u"Nothing found for <color clRed>quantum toaster</color>."_s),
            WithNote(u"Version dialog"_s,
                     Label(u"New version of <b>Morvalen <color $00F06048>Desktop</color></b> is "
                           u"available for download!"_s)),
            WithNote(u"Notification lines: pictures and links"_s,
                     Label(u" <img 0> <a 0>Web Mail</a> <img delimiter>Page has changed"_s)),
            Label(u" <img 1> <a 1>News Reader</a> <img delimiter><i>3 new entries</i>"_s),
            WithNote(u"Too long for its place, mnemonics, disabled"_s,
                     Label(u"A caption that is far <u>too long</u> for the room it was given"_s, 250)),
            Label(u"Save &As, Tools && Options"_s),
            disabled,
        });
}

QWidget* Panels()
{
    auto* normal = Frame(u"Highest Rated"_s, u"Double-click an application to see its details"_s, 104);
    auto* expanded = Frame(u"Details"_s,
                           u"Select an application in the list above to see its screenshot, rating and "
                           u"description here; the help text wraps when the panel asks for it."_s,
                           130);
    expanded->SetFrameState(fsExpanded);
    expanded->SetHelpTextWrap(true);
    expanded->SetOptions(foCollapseClick | foExpandClick | foHideHelpClick | foCaptionBarClick);
    auto* collapsed = Frame(u"Collapsed details"_s, QString(), 104);
    collapsed->SetFrameState(fsExpanded);
    collapsed->SetFrameState(fsCollapsed);
    auto* plain = Frame(u"No help area"_s, QString(), 70);
    plain->SetShowHelpArea(false);
    plain->SetShowCaptionShadow(false);
    return Section(u"Panels"_s, u"Caption bar, help line, collapse and expand"_s,
                   {
                       WithNote(u"Normal with help line"_s, normal),
                       WithNote(u"Expanded, wrapped help, click the bar to collapse"_s, expanded),
                       WithNote(u"Collapsed (click to expand)"_s, collapsed),
                       WithNote(u"Without help line or caption shadow"_s, plain),
                   });
}

QWidget* Separators()
{
    QList<QWidget*> rows;
    const std::pair<TMVFillType, QString> fills[] = {
        {ftSolid, u"Solid"_s},
        {ftGradientTN, u"Fading in"_s},
        {ftGradientNT, u"Fading out"_s},
        {ftGradientTNT, u"Fading at both ends"_s},
    };
    for (const auto& [fill, note] : fills) {
        auto* delimiter = new TMVDelimiter;
        delimiter->SetFillType(fill);
        delimiter->setFixedHeight(5);
        rows << WithNote(note, delimiter);
    }

    auto* frames = new QWidget;
    auto* row = new QHBoxLayout(frames);
    row->setContentsMargins(0, 4, 0, 0);
    row->setSpacing(8);
    auto addFrame = [&](const QString& note, bool round, bool tab) {
        auto* frame = new TSpecialFrame;
        frame->setFixedSize(92, 48);
        frame->SetColor(0xFFFFFF);
        frame->SetFillColor(0xFFFAF7);
        frame->SetFrameColor(0xCECECE);
        frame->SetTabStyle(tab);
        if (round) {
            frame->Corners().SetTopLeft(csRound);
            frame->Corners().SetTopRight(csRound);
            frame->Corners().SetBottomLeft(csRound);
            frame->Corners().SetBottomRight(csRound);
        }
        row->addWidget(WithNote(note, frame));
    };
    addFrame(u"Square"_s, false, false);
    addFrame(u"Round corners"_s, true, false);
    addFrame(u"Tab page"_s, false, true);
    row->addStretch(1);
    rows << frames;

    auto* description = new TDscLabel;
    description->setFixedHeight(58);
    description->SetCaption(u"Faster start-up, sharper thumbnails and a notification window that keeps "
                            u"out of the way."_s);
    rows << WithNote(u"Description block"_s, description);
    return Section(u"Separators and frames"_s, u"Delimiters, special frames and the description block"_s,
                   rows);
}

} // namespace GallerySections
