// The markup of catalog texts: any text parses, and the phrases hold no more text than it.
#include "FuzzSupport.h"
#include "markup/HtmlMarkup.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString caption = QString::fromUtf8(Bytes(data, size));
    const std::vector<TStyledPhrase> phrases = HtmlMarkup::Parse(caption);
    qsizetype length = 0;
    for (const TStyledPhrase& phrase : phrases)
        length += phrase.Text.size();
    if (length > caption.size())
        std::abort();
    return 0;
}
