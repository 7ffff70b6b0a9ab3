#pragma once

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

// Modal dialogs run their own event loop; a test answers them from a timer. WhenModalShows
// waits for the next modal window of type T that is not `besides` to become active and
// hands it to action. A dialog that never shows does not hang the test: after ten seconds
// whatever modal window is active is rejected, and *missed (when given) is set.
template <typename T>
void WhenModalShows(std::function<void(T*)> action, QWidget* besides = nullptr, bool* missed = nullptr)
{
    auto* timer = new QTimer;
    timer->setInterval(10);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, action, besides, missed, ticks] {
        QWidget* modal = QApplication::activeModalWidget();
        T* dialog = modal && modal != besides ? qobject_cast<T*>(modal) : nullptr;
        if (dialog) {
            timer->stop();
            timer->deleteLater();
            action(dialog);
        } else if (++*ticks > 1000) {
            timer->stop();
            timer->deleteLater();
            if (missed)
                *missed = true;
            if (auto* stray = qobject_cast<QDialog*>(modal); stray && modal != besides)
                stray->reject();
        }
    });
    timer->start();
}

// Clicks the named button of a dialog; without such a button the dialog is rejected.
template <typename T>
void ClickButton(T* dialog, const char* name)
{
    auto* button = dialog->template findChild<QPushButton*>(QString::fromLatin1(name));
    if (button)
        QTest::mouseClick(button, Qt::LeftButton);
    else
        dialog->reject(); // the test then sees the wrong answer instead of hanging
}
