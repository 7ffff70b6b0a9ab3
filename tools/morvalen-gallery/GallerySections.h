#pragma once

#include <QString>

class QWidget;

// The gallery's sections, one per group of controls. Each returns a widget without a parent.
// still asks for a picture that does not move (the screenshot): busy bars stand at a fixed step.
namespace GallerySections {

QWidget* MarkupLabels();
QWidget* Panels();
QWidget* Separators();
QWidget* Menus();
QWidget* ProgressBars(bool still);
// still: the flashing tile is caught in its flash look instead of flashing again and again.
QWidget* Tiles(bool still);
QWidget* DetailsPanel();
QWidget* DetailStates();

// A control with a small note of the state it shows, above it.
QWidget* WithNote(const QString& note, QWidget* control);
// A captioned panel holding the given rows one below the other.
QWidget* Section(const QString& caption, const QString& help, const QList<QWidget*>& rows);

} // namespace GallerySections
