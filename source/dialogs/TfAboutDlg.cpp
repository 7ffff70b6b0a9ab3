#include "TfAboutDlg.h"

#include "catalog/ProgramVersion.h"
#include "markup/HtmlLabel.h"
#include "panels/TDialogHeader.h"
#include "pictures/GraphicTools.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TfAboutDlg::TfAboutDlg(const QString& versionText, QWidget* parent, const QString& note) : TMVDialog(parent)
{
    setWindowTitle(u"About"_s);

    auto* band = new TDialogHeader(this);
    band->SetImageAlignment(iaLeft);
    band->SetImageOffset(16);
    band->SetImage(GraphicTools::LoadPngResource(u"png_MorvalenProLogo"_s));
    band->setFixedHeight(72);

    auto* version = DialogParts::MarkupLine(u"Version <color clBlue><b>%1"_s.arg(versionText), this);
    version->setObjectName(u"hlbVersion"_s);
    auto* owner =
        DialogParts::MarkupLine(u"Copyright \u00a9 Morvalen Software. <b>All rights reserved.</b>"_s, this);
    owner->setObjectName(u"hlbOwner"_s);
    auto* warning = new QLabel(
        u"Warning: this computer program is protected by copyright law and international treaties. "
        "Unauthorized reproduction or distribution of this program, or any portion of it, may result "
        "in severe civil and criminal penalties, and will be prosecuted to the maximum extent possible "
        "under the law."_s,
        this);
    warning->setObjectName(u"lbWarning"_s);
    warning->setWordWrap(true);
    warning->setStyleSheet(u"color: #6f6e89;"_s);

    QPushButton* ok = DialogParts::Button(u"Ok"_s, this);
    ok->setObjectName(u"btnOk"_s);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });

    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 12, 16, 12);
    body->setSpacing(6);
    body->addWidget(version);
    if (!note.isEmpty()) {
        auto* noteLine = new QLabel(note, this);
        noteLine->setObjectName(u"lbNote"_s);
        noteLine->setWordWrap(true);
        body->addWidget(noteLine);
    }
    body->addWidget(owner);
    body->addSpacing(4);
    body->addWidget(warning, 1);
    body->addSpacing(6);
    body->addLayout(DialogParts::ButtonRow({ok}));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(band);
    layout->addLayout(body, 1);
    setFixedSize(400, note.isEmpty() ? 250 : 280);
    ok->setFocus();
}

bool ShowAbout(std::optional<uint32_t> version, QWidget* parent, const QString& note)
{
    if (!version)
        return false;
    TfAboutDlg dialog(VersionText(*version), parent, note);
    dialog.exec();
    return true;
}

bool ShowAbout(QWidget* parent, const QString& note)
{
    return ShowAbout(ProgramVersion(), parent, note);
}
