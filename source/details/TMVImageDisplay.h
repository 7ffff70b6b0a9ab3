#pragma once

#include "pictures/Colors.h"

#include "common/Errors.h"

#include <QImage>
#include <QWidget>

#include <functional>

// A picture file the image display cannot show: "Invalid Image File Format! (name)".
class EMVImageDisplayException final : public EMorvalenError
{
public:
    using EMorvalenError::EMorvalenError;
};

// An application's screenshot in the details panel: the picture at its natural size, centred
// above a zoom link, in a frame with a soft shadow. While the screenshot downloads it shows a
// loading picture, and a no-image picture when there is none. Fills itself with its colour.
class TMVImageDisplay final : public QWidget
{
    Q_OBJECT

public:
    enum TState
    {
        isEmpty,   // nothing shown yet
        isNoImage, // the "no image" picture
        isLoading, // the "loading" picture
        isImage    // a picture file
    };

    explicit TMVImageDisplay(QWidget* parent = nullptr);
    ~TMVImageDisplay() override;

    // The background and what shows through transparent picture pixels.
    TColor Color() const { return m_color; }
    void SetColor(TColor color);

    // The zoom link's text (in the widget's font) and colour, under the picture.
    const QString& ZoomText() const { return m_zoomText; }
    void SetZoomText(const QString& text);
    TColor ZoomColor() const { return m_zoomColor; }
    void SetZoomColor(TColor color);

    // The margin around the picture's area: 1 to 9; other values are ignored.
    int Border() const { return m_border; }
    void SetBorder(int border);

    // Shows the "no image" or the "loading" picture, repainting at once.
    void ShowNoImage();
    void ShowLoading();
    // Shows a JPEG (".jpg", ".jpeg"), PNG or GIF file, chosen by the extension in any case.
    // Throws EMVImageDisplayException for another extension, EFileError for a file that cannot
    // be read and EInvalidGraphic for one that does not decode; the display keeps what it
    // showed then.
    void LoadImageFile(const QString& fileName);

    TState State() const { return m_state; }
    // The file shown last (kept while a placeholder shows).
    const QString& FileName() const { return m_fileName; }
    // The picture of the current state (the screenshot or the placeholder).
    const QImage& Picture() const { return m_picture; }
    // Where the zoom link was drawn last; empty while no picture file is shown.
    QRect ZoomZone() const { return m_state == isImage ? m_zoomZone : QRect(); }
    // Where the picture file was drawn last.
    QRect ImageRect() const;

    std::function<void(TMVImageDisplay& sender)> OnZoomClick;

    QSize sizeHint() const override { return {140, 140}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowPlaceholder(TState state, const QString& pictureName);
    void PaintImage(QPainter& painter);
    bool InZone(QPoint point) const;

    TColor m_color = clWindow;
    QString m_zoomText;
    TColor m_zoomColor = 0xF06048;
    int m_border = 8;
    TState m_state = isEmpty;
    QImage m_picture;
    QImage m_zoomGlyph;
    QString m_fileName;
    QRect m_zoomZone;
    bool m_pressed = false;
};
