#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// Every dialog of the program filled with sample content, for design review.
namespace DialogSamples {

QStringList Names();
// A new dialog without a parent, not shown; null for an unknown name. It frees itself when
// closed.
QWidget* Make(const QString& name);

} // namespace DialogSamples
