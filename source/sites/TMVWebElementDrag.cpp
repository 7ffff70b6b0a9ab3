#include "TMVWebElementDrag.h"

#include "TMVWebElement.h"

#include "TMorvalenBaseClass.h"

#include <QCoreApplication>
#include <QMouseEvent>

TMVWebElementDrag::TMVWebElementDrag(TMVWebElement* element) : m_element(element)
{
    QByteArray id;
    if (element && element->MorvalenItem())
        id = element->MorvalenItem()->ElementId().toUtf8();
    setData(QString::fromLatin1(kMimeType), id);
}

TMVWebElementDrag::~TMVWebElementDrag()
{
    if (m_watching && QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

void TMVWebElementDrag::WatchReleases()
{
    if (m_watching || !QCoreApplication::instance())
        return;
    m_watching = true;
    QCoreApplication::instance()->installEventFilter(this);
}

bool TMVWebElementDrag::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton)
            m_rightButtonReleased = true;
    }
    return QMimeData::eventFilter(watched, event);
}
