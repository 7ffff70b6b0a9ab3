// One empty window and nothing else: how long Qt Widgets alone take to show a window here.
// Says "shown" on standard error once the window is shown, like the program's own trace.

#include <QApplication>
#include <QWidget>

#include <cstdio>

namespace {

class EmptyWindow final : public QWidget
{
protected:
    void showEvent(QShowEvent* event) override
    {
        QWidget::showEvent(event);
        std::fputs("shown\n", stderr);
        std::fflush(stderr);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    EmptyWindow window;
    window.resize(800, 600);
    window.show();
    return QApplication::exec();
}
