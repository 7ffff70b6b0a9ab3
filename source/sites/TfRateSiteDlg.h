#pragma once

#include "dialogs/DialogParts.h"

#include <QImage>

#include <optional>

class OwnerDrawnComboBox;
class TMorvalenBaseClass;
class TWebApplicationList;
class TMVRating;

// Asks how many stars an installed site deserves. Shows the current rating and a list of
// the five choices, each drawn with its stars; "Ok" closes only when a choice is selected.
class TfRateSiteDlg final : public TMVDialog
{
    Q_OBJECT

public:
    TfRateSiteDlg(const QString& siteTitle, float currentRating, QWidget* parent = nullptr);

    // 1 to 5, or 0 when nothing is selected.
    int ChosenRating() const;

    OwnerDrawnComboBox* RatingBox() const { return m_choices; }

    static const QStringList& Choices();

private:
    void DrawChoice(QPainter& painter, const QRect& rect, int index, bool selected) const;

    TMVRating* m_current;
    OwnerDrawnComboBox* m_choices;
    QImage m_star;
};

// Shows the dialog modally; the chosen rating on "Ok", nothing on "Cancel".
std::optional<int> AskSiteRating(const QString& siteTitle, float currentRating, QWidget* parent = nullptr);

// "Rate site...": asks for the site's rating, starting from the catalog's current one, sends
// the choice to the catalog server (the request ends with parent at the latest) and marks
// the site as rated. Returns whether the site was rated; the caller then saves the sites.
bool RateSite(TMorvalenBaseClass& site, const TWebApplicationList& applications, const QString& server,
              QWidget* parent);
