#pragma once

#include <QtGlobal>

// The most pixels each use of a decoded picture can need. Every reader is told one of these
// before it takes memory for pixels, and refuses a larger picture with EInvalidGraphic: the
// pictures come from catalog servers and from any web site, and a header of a few bytes can
// otherwise claim gigabytes. A decode never holds much more than 4 bytes per allowed pixel.
namespace PictureLimits {

// Screenshots and thumbnails a catalog server sends (640 x 480 and 160 x 120 today); room for
// a screenshot of a 4K screen. 64 MB at most.
inline constexpr qsizetype kCatalogPicture = 4096 * 4096;

// Page pictures turned into site thumbnails: a whole captured page may be long. 64 MB.
inline constexpr qsizetype kPagePicture = 4096 * 4096;

// One image of an icon file, favourite icons included. Icons are at most 256 x 256; some sites
// serve larger PNG files as their icon. 4 MB.
inline constexpr qsizetype kIconImage = 1024 * 1024;

// The stored 105 x 80 site thumbnails and the program's own named pictures. 4 MB.
inline constexpr qsizetype kThumbnail = 1024 * 1024;
inline constexpr qsizetype kNamedPicture = 1024 * 1024;

} // namespace PictureLimits
