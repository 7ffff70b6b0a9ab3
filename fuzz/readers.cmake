# The readers the fuzz harnesses compile themselves, instrumented for the fuzzer; everything else
# comes from the main build's libraries. The main build keeps each of these files an object of
# its own (never part of a unity unit), so that the harnesses' copies replace them file by file.
set(MORVALEN_FUZZ_READERS
    source/catalog/CatalogXml.cpp
    source/catalog/TRemoteVersion.cpp
    source/catalog/TWebApplicationList.cpp
    source/catalog/TWebCategoryTree.cpp
    source/common/BinaryStream.cpp
    source/markup/HtmlMarkup.cpp
    source/pictures/GifFile.cpp
    source/pictures/IconImageData.cpp
    source/pictures/JpegFile.cpp
    source/pictures/PngFile.cpp
    source/pictures/TExIcon.cpp
    source/platform/SingleInstance.cpp
    source/platform/SingleInstance.h
    source/settings/ConfigurationFile.cpp
    source/settings/TApplicationsSettings.cpp
    source/sites/SitesDataFile.cpp
    source/sites/TMorvalenBaseClass.cpp
    source/stores/CacheIndexFile.cpp
    source/stores/NamePairIndexFile.cpp
    server/CatalogSearch.cpp
    server/CatalogSite.cpp
    server/RequestTarget.cpp
)
