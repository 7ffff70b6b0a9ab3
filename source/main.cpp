#include "TfMain.h"

#include <QApplication>

using namespace Qt::Literals::StringLiterals;

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Morvalen Desktop"_s);
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3.%4")
                                            .arg(MORVALEN_VERSION_MAJOR)
                                            .arg(MORVALEN_VERSION_MINOR)
                                            .arg(MORVALEN_VERSION_PATCH)
                                            .arg(MORVALEN_VERSION_TWEAK));

    TfMain mainWindow;
    mainWindow.show();
    return application.exec();
}
