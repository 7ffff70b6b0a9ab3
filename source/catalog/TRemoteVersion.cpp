#include "TRemoteVersion.h"

#include "CatalogXml.h"
#include "ProgramVersion.h"

#include <cstring>

namespace {

// The product id the program looks for, compared in ASCII lower case only: a letter that
// merely folds to one of these in Unicode (the Kelvin sign) is not the same id.
bool IsOurProduct(const pugi::xml_node& product)
{
    const pugi::xml_attribute id = product.attribute("id");
    if (!id)
        return false;
    static constexpr char kId[] = "morvalendesktop";
    const char* value = id.value();
    for (size_t i = 0;; ++i) {
        char c = value[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != kId[i])
            return false;
        if (c == '\0')
            return true;
    }
}

bool IsVersionEntry(const pugi::xml_node& element)
{
    return std::strcmp(element.name(), "version") == 0 && element.attribute("major") &&
           element.attribute("minor") && element.attribute("release") && element.attribute("build");
}

int32_t PartOf(const pugi::xml_node& entry, const char* name)
{
    return CatalogXml::ToInteger(entry.attribute(name).value()).value_or(0);
}

} // namespace

void TRemoteVersion::LoadFromFile(const QString& fileName)
{
    *this = TRemoteVersion();

    pugi::xml_document document;
    if (CatalogXml::LoadFile(document, fileName))
        return;
    const pugi::xml_node products = document.document_element();
    if (std::strcmp(products.name(), "products") != 0)
        return;

    for (const pugi::xml_node& product : products.children("product")) {
        if (!IsOurProduct(product))
            continue;
        const pugi::xml_node versions = product.child("versions");
        if (!versions)
            continue;

        pugi::xml_node best;
        uint32_t bestVersion = 0;
        for (const pugi::xml_node& entry : versions.children()) {
            if (!IsVersionEntry(entry))
                continue;
            const uint32_t version = PackVersion(PartOf(entry, "major"), PartOf(entry, "minor"),
                                                 PartOf(entry, "release"), PartOf(entry, "build"));
            if (!best || version > bestVersion) {
                best = entry;
                bestVersion = version;
            }
        }
        if (!best || bestVersion == 0)
            continue;

        m_version = bestVersion;
        m_description = CatalogXml::ElementText(best.child("description"));
        m_downloadURL = CatalogXml::ElementText(best.child("download_url"));
        m_found = true;
    }
}
