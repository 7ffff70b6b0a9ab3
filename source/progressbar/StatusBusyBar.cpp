#include "StatusBusyBar.h"

#include "LabelProgressBar.h"
#include "LabelProgressBarData.h"

void SetUpStatusBusyBar(TLabelProgressBar& bar)
{
    // The view options first: the stored bar height then makes the whole control.
    bar.SetViewOptions(0);
    bar.LoadStoredForm(LabelProgressBarData::MainWindowBar());
    bar.SetBorder(brFlat);
    bar.SetSegmentWidth(8);
    bar.SetAnimationDelay(60);
    bar.SetPosition(0);
}
