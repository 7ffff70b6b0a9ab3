#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// What a tab shows when its page's engine ended (crashed, killed or hung): the address
// that was lost and "Reload", which the keyboard reaches as well as the mouse.
class TStoppedPage final : public QWidget
{
    Q_OBJECT

public:
    static inline const QString kTitle = QStringLiteral("This page stopped working");

    explicit TStoppedPage(QWidget* parent = nullptr);

    void SetAddress(const QString& address);
    QPushButton* ReloadButton() const { return m_reload; }

signals:
    void ReloadClicked();

private:
    QLabel* m_text = nullptr;
    QPushButton* m_reload = nullptr;
};
