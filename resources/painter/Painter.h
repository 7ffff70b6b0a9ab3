#pragma once

#include <QImage>

#include <string_view>

// The drawing of one named picture at its size times scale (for screens with more pixels to
// the program's pixel), or a null image for a name without one.
QImage DrawPicture(std::string_view name, int width, int height, int scale = 1);

// The drawing of one named icon at size x size pixels, or a null image.
QImage DrawIcon(std::string_view name, int size);

// The program's own icon (the mark of its logo) at size x size pixels, for the desktop's menus.
QImage DrawProgramIcon(int size);
