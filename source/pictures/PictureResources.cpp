#include "PictureResources.h"

using namespace Qt::Literals::StringLiterals;

// The resources sit in a static library: nothing would pull their registration into the
// program unless it is called by name. Q_INIT_RESOURCE must stand outside any namespace.
static bool RegisterPictureResources()
{
    Q_INIT_RESOURCE(morvalen_pictures);
    return true;
}

namespace PictureResources {

QString PngPath(const QString& name)
{
    static const bool registered = RegisterPictureResources();
    Q_UNUSED(registered);
    return u":/pictures/"_s + name.toUpper() + u".png"_s;
}

QString SharpPngPath(const QString& name)
{
    static const bool registered = RegisterPictureResources();
    Q_UNUSED(registered);
    return u":/pictures/"_s + name.toUpper() + u"@2x.png"_s;
}

QString IconPath(const QString& name)
{
    static const bool registered = RegisterPictureResources();
    Q_UNUSED(registered);
    return u":/icons/"_s + name.toUpper() + u".ico"_s;
}

} // namespace PictureResources
