#pragma once

#include <QMimeData>
#include <QPointer>

class TMVWebElement;

// What a tile carries while it is dragged onto another tile: the dragged tile, and whether
// the drag ended with the right button's release (the drop target then offers a menu
// instead of moving at once). Drop targets of the same program get this very object as the
// drop event's mime data: qobject_cast<const TMVWebElementDrag*>(event->mimeData()).
class TMVWebElementDrag final : public QMimeData
{
    Q_OBJECT

public:
    // The format the drag announces, holding the dragged site's ElementId.
    static constexpr char kMimeType[] = "application/x-morvalen-web-element";

    explicit TMVWebElementDrag(TMVWebElement* element);
    ~TMVWebElementDrag() override;

    // Null once the tile has gone.
    TMVWebElement* Element() const { return m_element; }

    bool RightButtonReleased() const { return m_rightButtonReleased; }
    void SetRightButtonReleased(bool released) { m_rightButtonReleased = released; }

    // From now until the drag object goes, a right-button release anywhere in the program
    // sets RightButtonReleased. Call it from inside the
    // drag's own event loop, so that this watcher sees the release before the drag ends on it.
    void WatchReleases();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<TMVWebElement> m_element;
    bool m_rightButtonReleased = false;
    bool m_watching = false;
};
