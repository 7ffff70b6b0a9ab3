#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>

// The measure of the change monitor: the length, in UTF-8 bytes, of the body's text plus the
// bodies of the frames and iframes inside it that can be read (depth first, in document
// order); frames of other origins are skipped. It runs as a page script, so that only a
// number crosses to the program, whatever the size of the page.
namespace PageTextLength {

// The script; its value is the length.
QString Script();

// The script's value as a length; -1 when the page could not be read.
int64_t FromResult(const QVariant& result);

} // namespace PageTextLength
