#pragma once

#include <QString>

#include <cstdint>

// The newest program version that the catalog server announces in its version file
// (/download/version.xml):
//
//   <products>                                    document element
//     <product id="MorvalenDesktop">              counts when id, lower-cased, is
//       <versions>                                "morvalendesktop"
//         <version major="2" minor="0" release="7" build="0">
//           <description>What's new, shown in the dialog</description>
//           <download_url>http://.../download.html</download_url>
//         </version>
//       </versions>
//     </product>
//   </products>
//
// - A version entry needs all four attributes; each is a decimal integer, text that is
//   not one counts as 0, and only its low 8 bits count (256 is 0).
// - Of a product's entries the highest packed version wins; on a tie the first. A product
//   whose best version is 0.0.0.0 does not count.
// - When several products count, the last one wins. Description and download address
//   always come from the winning entry, empty when it has none.
class TRemoteVersion final
{
public:
    // Reads the version file. Anything that goes wrong (no file, malformed XML, no counting
    // product) leaves Found false; nothing throws.
    void LoadFromFile(const QString& fileName);

    const QString& Description() const { return m_description; }
    // The packed version (see ProgramVersion.h); 0 unless Found.
    uint32_t Version() const { return m_version; }
    const QString& DownloadURL() const { return m_downloadURL; }
    bool Found() const { return m_found; }

private:
    QString m_description;
    uint32_t m_version = 0;
    QString m_downloadURL;
    bool m_found = false;
};
