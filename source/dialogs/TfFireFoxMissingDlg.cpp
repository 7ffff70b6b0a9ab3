#include "TfFireFoxMissingDlg.h"

#include "panels/TDialogHeader.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

const QString& TfFireFoxMissingDlg::Message()
{
    static const QString message =
        u"The WebKit component is missing. Please install WebKitGTK (Debian package libwebkit2gtk-4.1-0) and use "
        "an X11 session. Then you can use the WebKit rendering engine.\r\nUntil then only use the Chromium "
        "rendering engine."_s;
    return message;
}

TfFireFoxMissingDlg::TfFireFoxMissingDlg(QWidget* parent) : TMVDialog(parent)
{
    setWindowTitle(u"Error"_s);
    TDialogHeader* header = DialogParts::Header(u"png_FireFox"_s, u"Error"_s, QString(), this);

    auto* text = new QLabel(QString(Message()).replace(u"\r\n"_s, u"\n"_s), this);
    text->setObjectName(u"lbMessage"_s);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    QPushButton* download = DialogParts::Button(u"Download"_s, this);
    download->setObjectName(u"btnDownload"_s);
    download->setDefault(true);
    QPushButton* cancel = DialogParts::Button(u"Cancel"_s, this);
    cancel->setObjectName(u"btnCancel"_s);
    connect(download, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 12, 16, 12);
    body->setSpacing(10);
    body->addWidget(text, 1);
    body->addLayout(DialogParts::ButtonRow({download, cancel}));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(header);
    layout->addLayout(body, 1);
    setFixedSize(420, 200);
    download->setFocus();
}
