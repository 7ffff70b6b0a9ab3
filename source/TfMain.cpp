#include "TfMain.h"

#include "PBOnceOnly.h"

using namespace Qt::Literals::StringLiterals;

TfMain::TfMain(const QStringList& parameters, QWidget* parent) : QMainWindow(parent)
{
    setObjectName(u"TfMain"_s);
    setWindowTitle(u"Morvalen Desktop"_s);
    resize(800, 600);

    m_startMinimized = IsStartMinimized(parameters);
    HandleCommandLineParameters(parameters, [this](const QString& parameter) { HandleParameter(parameter); });
}

void TfMain::HandleCopyData(const CopyDataRecord& record)
{
    HandleCopyDataParameters(record, [this](const QString& parameter) { HandleParameter(parameter); });
}

void TfMain::HandleParameter(const QString& parameter)
{
    const TElementParameter element = ParseParameter(parameter);
    if (element.empty)
        return;
    // Installed sites are looked up here by their element id once they exist.
}
