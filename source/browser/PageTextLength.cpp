#include "PageTextLength.h"

namespace PageTextLength {

QString Script()
{
    return QStringLiteral(R"((function () {
  function bodyText(doc) {
    try { return doc && doc.body ? String(doc.body.innerText) : ''; } catch (e) { return ''; }
  }
  var text = bodyText(document);
  function walk(element) {
    for (var child = element.firstElementChild; child; child = child.nextElementSibling) {
      try {
        var tag = String(child.tagName).toUpperCase();
        if (tag === 'FRAME' || tag === 'IFRAME') {
          var doc = child.contentDocument;
          if (doc && doc.body) {
            text += bodyText(doc);
            walk(doc.body);
          }
        } else {
          walk(child);
        }
      } catch (e) {}
    }
  }
  try { if (document.body) walk(document.body); } catch (e) {}
  return new TextEncoder().encode(text).length;
})())");
}

} // namespace PageTextLength
