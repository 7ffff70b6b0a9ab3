#include "TCatalogSearch.h"

#include "TCatalogDetailsPanel.h"
#include "TCatalogListView.h"
#include "TCatalogViews.h"
#include "TfrSearchResultFrame.h"
#include "catalog/CatalogAddresses.h"
#include "catalog/TWebApplicationList.h"
#include "markup/HtmlMarkup.h"
#include "markup/MnemonicText.h"
#include "menus/MVMenus.h"
#include "pictures/GraphicTools.h"
#include "stores/TFileCacheManager.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

// The user's text goes into markup titles and into tab captions, where "&" marks a mnemonic:
// each place gets it escaped for itself.
QString SearchingTitle(const QString& text)
{
    return u"Searching for Web 2.0 sites containing <color clBlue><b>%1</b></color>. Please wait..."_s.arg(
        HtmlMarkup::Literal(text));
}

QString TabCaption(const QString& format, const QString& text)
{
    return format.arg(MnemonicText::Escape(text));
}

} // namespace

TCatalogSearch::TCatalogSearch(TCatalogViews& views, QObject* parent) : QObject(parent), m_views(views)
{
    m_views.SetSearch(this);
}

TCatalogSearch::~TCatalogSearch()
{
    m_views.SetSearch(nullptr);
}

TSearchResultRec* TCatalogSearch::FindByAddress(const QString& address) const
{
    for (const auto& record : m_records) {
        // The cache reports addresses in lower case.
        if (record->Address.compare(address, Qt::CaseInsensitive) == 0)
            return record.get();
    }
    return nullptr;
}

void TCatalogSearch::Search(const QString& text)
{
    const QString address = m_views.ServerAddress() + SearchPath(text);
    QTabWidget& pages = m_views.Pages();
    if (TSearchResultRec* same = FindByAddress(address)) {
        pages.setCurrentWidget(same->Sheet);
        return;
    }
    TSearchResultRec* record = nullptr;
    for (const auto& candidate : m_records) {
        if (candidate->Count == 0) {
            record = candidate.get();
            break;
        }
    }
    if (!record) {
        auto created = std::make_unique<TSearchResultRec>();
        created->Sheet = new QWidget;
        created->Sheet->setObjectName(u"tbsSearch"_s);
        created->Frame = CreateFrame(created->Sheet);
        pages.addTab(created->Sheet, QString());
        record = created.get();
        m_records.push_back(std::move(created));
    }
    record->Address = address;
    record->Text = text;
    record->Count = -1;
    pages.setTabText(pages.indexOf(record->Sheet), TabCaption(u"Searching: %1"_s, text));
    record->Frame->SetTitle(SearchingTitle(text));
    StartRequest(*record);
    pages.setCurrentWidget(record->Sheet);
    record->Frame->setFocus();
}

TfrSearchResultFrame* TCatalogSearch::CreateFrame(QWidget* sheet)
{
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* frame = new TfrSearchResultFrame(m_views.Cache(), sheet);
    layout->addWidget(frame);
    frame->OnCloseRequest = [this](TfrSearchResultFrame& sender) {
        CloseSearchTab(sender);
    };
    frame->OnCategoryLink = [this](TWebApplicationClass* application) {
        m_views.GoToCategory(application);
    };
    frame->OnRowMenu = [this](TWebApplicationClass* application, QPoint globalPos) {
        m_views.PrepareWebSiteMenu(application);
        m_views.WebSiteMenu().popup(globalPos);
    };
    m_views.ConnectDetailsActions(frame->Details());
    return frame;
}

void TCatalogSearch::StartRequest(TSearchResultRec& record)
{
    std::weak_ptr<bool> alive = m_alive;
    m_views.Cache().RequestFile(record.Address, false, false, true,
                                [this, alive](const QString&, const QString& url, TCacheStatus status) {
                                    if (!alive.expired())
                                        AnswerArrived(url, status);
                                });
}

void TCatalogSearch::AnswerArrived(const QString& url, TCacheStatus status)
{
    TSearchResultRec* record = FindByAddress(url);
    if (!record)
        return;
    QTabWidget& pages = m_views.Pages();
    const int index = pages.indexOf(record->Sheet);
    const QString cached = m_views.Cache().GetCachedFileName(url, true);
    if (cached.isEmpty()) {
        if (status != csFailed)
            return;
        // Without an answer the tab would wait for ever; as a search that found nothing it
        // goes to the next search, which may find the server again.
        record->Count = 0;
        record->Frame->SetTitle(
            u"The catalog server could not be reached. Nothing found for <color clRed>%1</color>."_s.arg(
                HtmlMarkup::Literal(record->Text)));
        pages.setTabText(index, TabCaption(u"Search: %1 - not reached"_s, record->Text));
        return;
    }
    std::weak_ptr<bool> alive = m_alive;
    m_views.ReadList(cached, [this, alive, url](TWebApplicationList::FileRead& file) {
        if (!alive.expired())
            AnswerRead(url, file);
    });
}

void TCatalogSearch::AnswerRead(const QString& url, TWebApplicationList::FileRead& file)
{
    // The tab may have been closed while its answer was read.
    TSearchResultRec* record = FindByAddress(url);
    if (!record)
        return;
    QTabWidget& pages = m_views.Pages();
    const int index = pages.indexOf(record->Sheet);
    TWebApplicationList::Applications read;
    m_views.ApplicationList().Merge(std::move(file), &read);
    record->Count = int32_t(read.size());
    if (record->Count == 0) {
        record->Frame->SetTitle(
            u"Nothing found for <color clRed>%1</color>."_s.arg(HtmlMarkup::Literal(record->Text)));
        pages.setTabText(index, TabCaption(u"Search: %1 - not found"_s, record->Text));
        return;
    }
    record->Frame->SetTitle(u"Search results for <color clBlue><b>%1</b></color>. Results: <b>%2</b>."_s.arg(
        HtmlMarkup::Literal(record->Text), QString::number(record->Count)));
    pages.setTabText(
        index, u"Search: %1 - %2"_s.arg(MnemonicText::Escape(record->Text), QString::number(record->Count)));
    record->Frame->ShowResults(std::move(read));
}

void TCatalogSearch::CloseSearchTab(TfrSearchResultFrame& frame)
{
    const auto found = std::find_if(m_records.begin(), m_records.end(),
                                    [&frame](const auto& record) { return record->Frame == &frame; });
    if (found == m_records.end() || frame.PendingPictures() > 0)
        return;
    QTabWidget& pages = m_views.Pages();
    const int count = pages.count();
    int index = pages.indexOf((*found)->Sheet);
    if (index >= count - 1)
        index = count - 2;
    pages.setCurrentIndex(index);
    QWidget* sheet = (*found)->Sheet;
    pages.removeTab(pages.indexOf(sheet));
    m_records.erase(found);
    // The sheet may be inside its own close button's click; free it once that has returned.
    sheet->deleteLater();
    pages.setCurrentIndex(index);
}

void TCatalogSearch::AttachSearchEdit(QLineEdit& edit)
{
    connect(&edit, &QLineEdit::textEdited, this, [&edit](const QString& text) {
        const QString lower = text.toLower();
        if (lower != text) {
            const int cursor = edit.cursorPosition();
            edit.setText(lower);
            edit.setCursorPosition(cursor);
        }
    });
    connect(&edit, &QLineEdit::returnPressed, this, [this, &edit] { Search(edit.text()); });
}

QLineEdit& TCatalogSearch::BuildSearchBox(QWidget& panel)
{
    auto* box = qobject_cast<QBoxLayout*>(panel.layout());
    if (!box)
        box = new QHBoxLayout(&panel);
    auto* edit = new QLineEdit(&panel);
    edit->setObjectName(u"edMainSearch"_s);
    edit->setPlaceholderText(u"Search the catalog"_s);
    edit->setFixedWidth(200);
    // The clear button's picture comes from the desktop's icon theme, whose first use loads an
    // image plugin and the theme's index: a few milliseconds the window would wait for at
    // start, for a button that shows only once there is text.
    connect(
        edit, &QLineEdit::textChanged, edit, [edit] { edit->setClearButtonEnabled(true); },
        Qt::SingleShotConnection);
    auto* button = new QToolButton(&panel);
    button->setObjectName(u"tbtnSearch"_s);
    button->setText(u"Search"_s);
    button->setIcon(GraphicTools::LoadIconResource(u"res_Ico_WebSearch"_s));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    box->addWidget(edit);
    box->addWidget(button);
    AttachSearchEdit(*edit);
    connect(button, &QToolButton::clicked, this, [this, edit] { Search(edit->text()); });
    return *edit;
}

TWebApplicationClass* TCatalogSearch::FocusedApplication(const QWidget* page) const
{
    for (const auto& record : m_records) {
        if (record->Sheet == page)
            return record->Frame->List().FocusedApplication();
    }
    return nullptr;
}
