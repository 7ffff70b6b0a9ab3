#include "TfMain.h"

using namespace Qt::Literals::StringLiterals;

TfMain::TfMain(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(u"TfMain"_s);
    setWindowTitle(u"Morvalen Desktop"_s);
    resize(800, 600);
}
