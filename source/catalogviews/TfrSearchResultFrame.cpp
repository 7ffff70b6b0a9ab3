#include "TfrSearchResultFrame.h"

#include "TCatalogDetailsPanel.h"
#include "TCatalogListView.h"
#include "markup/HtmlLabel.h"
#include "panels/TDialogHeader.h"
#include "pictures/GraphicTools.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

TfrSearchResultFrame::TfrSearchResultFrame(TFileCacheManager& cache, QWidget* parent)
    : QWidget(parent), m_header(new TDialogHeader(this)), m_lbSearchTitle(new THtmlLabel(m_header)),
      m_tbtnCloseTab(new QToolButton(m_header)),
      m_vstWebSearchApplications(new TCatalogListView(0, true, this)),
      m_details(new TCatalogDetailsPanel(cache, this))
{
    setObjectName(u"TfrSearchResultFrame"_s);
    m_lbSearchTitle->setObjectName(u"lbSearchTitle"_s);
    m_tbtnCloseTab->setObjectName(u"tbtnCloseTab"_s);
    m_vstWebSearchApplications->setObjectName(u"vstWebSearchApplications"_s);
    m_header->setFixedHeight(32);
    auto* headerRow = new QHBoxLayout(m_header);
    headerRow->setContentsMargins(8, 4, 6, 6);
    headerRow->addWidget(m_lbSearchTitle, 1);
    headerRow->addWidget(m_tbtnCloseTab);
    m_tbtnCloseTab->setIcon(GraphicTools::LoadIconResource(u"res_Ico_Stop"_s));
    m_tbtnCloseTab->setAutoRaise(true);
    m_tbtnCloseTab->setToolTip(u"Close"_s);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addWidget(m_header);
    column->addWidget(m_vstWebSearchApplications, 1);
    column->addStretch();
    column->addWidget(m_details);
    m_vstWebSearchApplications->hide();

    connect(m_tbtnCloseTab, &QToolButton::clicked, this, [this] {
        if (OnCloseRequest)
            OnCloseRequest(*this);
    });
    m_vstWebSearchApplications->OnFocusChanged = [this](TCatalogListView&,
                                                        TWebApplicationClass* application) {
        m_details->ShowDetails(application);
    };
    m_vstWebSearchApplications->OnCategoryDoubleClick = [this](TCatalogListView&,
                                                               TWebApplicationClass* application) {
        if (OnCategoryLink)
            OnCategoryLink(application);
    };
    m_vstWebSearchApplications->OnRowMenu = [this](TCatalogListView&, TWebApplicationClass* application,
                                                   QPoint globalPos) {
        if (OnRowMenu)
            OnRowMenu(application, globalPos);
    };
}

TfrSearchResultFrame::~TfrSearchResultFrame() = default;

void TfrSearchResultFrame::SetTitle(const QString& markup)
{
    m_lbSearchTitle->SetCaption(markup);
}

QString TfrSearchResultFrame::Title() const
{
    return m_lbSearchTitle->Caption();
}

int TfrSearchResultFrame::PendingPictures() const
{
    return m_details->PendingPictures();
}

void TfrSearchResultFrame::ShowResults(std::vector<TWebApplicationClass*> applications)
{
    m_vstWebSearchApplications->Fill(std::move(applications));
    m_vstWebSearchApplications->show();
    if (QLayout* layout = this->layout()) {
        // The stretch that held the panel down while the list was hidden is not needed now.
        if (QLayoutItem* spacer = layout->itemAt(2); spacer && spacer->spacerItem())
            delete layout->takeAt(2);
    }
}
