#pragma once

#include <QString>

// The change monitor's measure of a page: the inner text of the document's body, followed
// depth first by the body text of each readable FRAME or IFRAME, counted in UTF-8 bytes.
// A frame the page may not read is skipped; a document without a body counts 0.
namespace PageTextLength {

// A page script whose value is that length, for an engine that runs scripts in the page.
QString Script();

} // namespace PageTextLength
