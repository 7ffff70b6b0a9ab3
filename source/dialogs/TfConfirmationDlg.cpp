#include "TfConfirmationDlg.h"

#include "markup/HtmlLabel.h"
#include "panels/TDialogHeader.h"
#include "pictures/GraphicTools.h"

#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TfConfirmationDlg::TfConfirmationDlg(QWidget* parent) : TMVDialog(parent)
{
    setWindowTitle(u"Confirmation"_s);

    auto* band = new TDialogHeader(this);
    band->SetImageAlignment(iaLeft);
    band->SetImage(GraphicTools::LoadPngResource(u"png_Question"_s));
    band->setFixedHeight(84);
    auto* lines = new QVBoxLayout(band);
    lines->setContentsMargins(14, 10, 16, 10);
    lines->setSpacing(4);
    m_text = DialogParts::MarkupLine(QString(), band);
    m_text->setObjectName(u"lbText"_s);
    m_text2 = DialogParts::MarkupLine(QString(), band);
    m_text2->setObjectName(u"lbText2"_s);
    // An icon in the line may be taller than the text.
    m_text2->setMinimumHeight(std::max(m_text2->minimumHeight(), 20));
    m_text2->OnGetImage = [this](THtmlLabel&, const QString& image, QImage& picture) {
        if (image == u"1"_s)
            picture = m_icon;
    };
    m_openBrowsers = DialogParts::MarkupLine(QString(), band);
    m_openBrowsers->setObjectName(u"lbOpenBrowsers"_s);
    m_openBrowsers->setVisible(false);
    lines->addStretch(1);
    lines->addWidget(m_text);
    lines->addWidget(m_text2);
    lines->addWidget(m_openBrowsers);
    lines->addStretch(1);

    QPushButton* yes = DialogParts::Button(u"Yes"_s, this);
    yes->setObjectName(u"btnYes"_s);
    yes->setDefault(true);
    QPushButton* no = DialogParts::Button(u"No"_s, this);
    no->setObjectName(u"btnNo"_s);
    connect(yes, &QPushButton::clicked, this, [this] { done(mrYes); });
    connect(no, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(band);
    QBoxLayout* buttons = DialogParts::ButtonRow({yes, no});
    buttons->setContentsMargins(12, 10, 12, 10);
    layout->addLayout(buttons);
    setFixedSize(380, 84 + 48);
    yes->setFocus();
}

void TfConfirmationDlg::SetTexts(const QString& text, const QString& text2)
{
    m_text->SetCaption(text);
    m_text2->SetCaption(text2);
}

void TfConfirmationDlg::SetOpenBrowsers(int count)
{
    m_openBrowsers->SetCaption(u"Open browsers: %1"_s.arg(count));
    m_openBrowsers->setVisible(count > 0);
}

int Confirm(const QString& text, const QString& text2, const QImage& icon, QWidget* parent)
{
    TfConfirmationDlg dialog(parent);
    dialog.SetTexts(text, text2);
    dialog.SetIcon(icon);
    return dialog.exec();
}

int ConfirmQuit(int openBrowsers, QWidget* parent)
{
    TfConfirmationDlg dialog(parent);
    dialog.setWindowTitle(u"Quit Morvalen Desktop"_s);
    dialog.SetTexts(u"Are You sure you want to quit"_s, u"<b>Morvalen Desktop</b> ?"_s);
    dialog.SetOpenBrowsers(openBrowsers);
    return dialog.exec();
}
