#include "PageTextLength.h"

#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace PageTextLength {

QString Script()
{
    return uR"((function () {
  function bodyText(doc) {
    try { return doc && doc.body ? (doc.body.innerText || '') : ''; } catch (e) { return ''; }
  }
  var text = bodyText(document);
  function walk(element) {
    for (var child = element.firstElementChild; child; child = child.nextElementSibling) {
      try {
        var tag = child.tagName.toUpperCase();
        if (tag === 'FRAME' || tag === 'IFRAME') {
          var doc = child.contentDocument;
          if (doc && doc.body) {
            text += bodyText(doc);
            walk(doc.body);
          }
        } else {
          walk(child);
        }
      } catch (e) {
      }
    }
  }
  try { if (document.body) walk(document.body); } catch (e) {}
  return new TextEncoder().encode(text).length;
})())"_s;
}

int64_t FromResult(const QVariant& result)
{
    bool ok = false;
    const double value = result.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0 || value > 9.0e15)
        return -1;
    return int64_t(value);
}

} // namespace PageTextLength
