// Decodes one picture file as one of the program's uses would and reports how far the
// process's resident memory rose above where it stood with the file read: the picture tests run
// it as a child process, so that nothing else in the test program moves the figure.
//
//   picture-memory-probe catalog|page|icon|named FILE
//
// prints "decoded WxH" or "refused MESSAGE", then "growth BYTES".

#include "pictures/EInvalidGraphic.h"
#include "pictures/MakeThumbnail.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureLimits.h"
#include "pictures/PngFile.h"
#include "pictures/TExIcon.h"

#include "common/FileUtils.h"

#include <QImage>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// A figure of /proc/self/status, in bytes.
long long StatusBytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ':', 0) == 0)
            return std::stoll(line.substr(field.size() + 1)) * 1024;
    }
    return -1;
}

QSize Decode(const std::string& use, const QByteArray& data)
{
    if (use == "catalog")
        return PictureFile::Read(data, PictureLimits::kCatalogPicture).size();
    if (use == "page")
        return MakeThumbnail(PictureFile::Read(data, PictureLimits::kPagePicture)).size();
    if (use == "named")
        return PngFile::Read(data, PictureLimits::kNamedPicture).size();
    TExIcon icon;
    icon.LoadFromStream(data);
    QSize largest;
    for (int i = 0; i < icon.ImageCount(); ++i) {
        icon.SetCurrentIndex(i);
        largest = largest.expandedTo(icon.Handle().size());
    }
    return largest;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    const std::optional<QByteArray> data = FileUtils::ReadWholeFile(QString::fromLocal8Bit(argv[2]));
    if (!data)
        return 2;
    // From here the high-water mark counts only what the decode takes.
    std::ofstream("/proc/self/clear_refs") << "5";
    const long long before = StatusBytes("VmRSS");
    try {
        const QSize size = Decode(argv[1], *data);
        std::printf("decoded %dx%d\n", size.width(), size.height());
    } catch (const EMorvalenError& error) {
        std::printf("refused %s\n", error.Message().toUtf8().constData());
    }
    std::printf("growth %lld\n", StatusBytes("VmHWM") - before);
    return 0;
}
