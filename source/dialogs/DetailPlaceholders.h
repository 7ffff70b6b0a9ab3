#pragma once

// PLACEHOLDER: stand-ins for the catalog detail controls TMVRating and
// TMVProductDescriptions, which are being built on their own branch. They carry the same
// setters so that the dialogs switch to the real controls by changing the type alone.
// Remove this file once the real controls are on main.

#include <QImage>
#include <QString>
#include <QWidget>

class PlaceholderRating final : public QWidget
{
    Q_OBJECT

public:
    explicit PlaceholderRating(QWidget* parent = nullptr);

    const QString& Caption() const { return m_caption; }
    void SetCaption(const QString& caption);
    float Rating() const { return m_rating; }
    void SetRating(float rating);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    float m_rating = 0;
    QImage m_full;
    QImage m_empty;
};

class PlaceholderProductDescriptions final : public QWidget
{
    Q_OBJECT

public:
    explicit PlaceholderProductDescriptions(QWidget* parent = nullptr);

    const QString& Title() const { return m_title; }
    void SetTitle(const QString& title);
    const QString& DescriptionShort() const { return m_short; }
    void SetDescriptionShort(const QString& text);
    const QString& DescriptionLong() const { return m_long; }
    void SetDescriptionLong(const QString& text);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    QString m_short;
    QString m_long;
};
