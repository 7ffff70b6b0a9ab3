#pragma once

#include "PanelGeometry.h"

#include <QWidget>

// The one-pixel separator line between the detail controls, solid or fading at its ends.
class TMVDelimiter final : public QWidget
{
    Q_OBJECT

public:
    explicit TMVDelimiter(QWidget* parent = nullptr);

    TMVDelimiterOrientation Orientation() const { return m_orientation; }
    void SetOrientation(TMVDelimiterOrientation orientation);
    TMVFillType FillType() const { return m_fillType; }
    void SetFillType(TMVFillType fillType);

    QSize sizeHint() const override { return {156, 5}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TMVDelimiterOrientation m_orientation = doHorizontal;
    TMVFillType m_fillType = ftSolid;
};
