#pragma once

#include <QWidget>

#include <functional>

class QToolButton;
class TCatalogDetailsPanel;
class TCatalogListView;
class TDialogHeader;
class TFileCacheManager;
class THtmlLabel;
class TWebApplicationClass;

// One search answer: a title line with a close button, the result list (hidden until the
// answer arrives) and a details panel for the focused result.
class TfrSearchResultFrame final : public QWidget
{
    Q_OBJECT

public:
    TfrSearchResultFrame(TFileCacheManager& cache, QWidget* parent = nullptr);
    ~TfrSearchResultFrame() override;

    void SetTitle(const QString& markup);
    QString Title() const;
    // Shows the results, newest first.
    void ShowResults(std::vector<TWebApplicationClass*> applications);

    TCatalogListView& List() const { return *m_vstWebSearchApplications; }
    TCatalogDetailsPanel& Details() const { return *m_details; }
    QToolButton& CloseButton() const { return *m_tbtnCloseTab; }
    // Picture requests of the details panel whose reports have not arrived yet.
    int PendingPictures() const;

    // The close button was pressed.
    std::function<void(TfrSearchResultFrame& sender)> OnCloseRequest;
    // The category of a result was asked for (its link or a double click on its cell).
    std::function<void(TWebApplicationClass* application)> OnCategoryLink;
    // The row menu was asked for on a focused result.
    std::function<void(TWebApplicationClass* application, QPoint globalPos)> OnRowMenu;

private:
    TDialogHeader* m_header;
    THtmlLabel* m_lbSearchTitle;
    QToolButton* m_tbtnCloseTab;
    TCatalogListView* m_vstWebSearchApplications;
    TCatalogDetailsPanel* m_details;
};
