// The configuration file: any bytes load without a crash, and the settings read write back to a
// file that reads the same.
#include "FuzzSupport.h"
#include "platform/Autostart.h"
#include "settings/ConfigurationFile.h"
#include "settings/TApplicationsSettings.h"

#include <cstdlib>

namespace {

class NoAutostart final : public Autostart
{
public:
    bool IsRegistered() const override { return false; }
    void Apply(bool) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    NoAutostart autostart;
    TApplicationsSettings settings(autostart);
    uint8_t arrangeMode = 0;
    if (!ConfigurationFile::Load(InputFile(data, size), settings, arrangeMode))
        return 0;
    const QByteArray written = ConfigurationFile::Serialize(settings, arrangeMode);
    TApplicationsSettings again(autostart);
    uint8_t arrangeAgain = 0;
    const QString path =
        InputFile(reinterpret_cast<const uint8_t*>(written.constData()), size_t(written.size()));
    if (!ConfigurationFile::Load(path, again, arrangeAgain) ||
        ConfigurationFile::Serialize(again, arrangeAgain) != written)
        std::abort();
    return 0;
}
