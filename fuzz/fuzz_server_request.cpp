// The catalog server's request handling: any request target and Host header get an answer
// with a status the server means, never a crash; the client address votes as any other.
#include "CatalogSite.h"
#include "CatalogSource.h"
#include "FuzzSupport.h"
#include "RatingStore.h"
#include "TestCatalog.h"

#include <cstdlib>
#include <memory>

namespace {

struct Server
{
    std::unique_ptr<RatingStore> ratings;
    std::unique_ptr<CatalogSite> site;
};

Server& TheServer()
{
    static Server server = [] {
        Server made;
        made.ratings = std::make_unique<RatingStore>(QStringLiteral(":memory:"));
        made.site = std::make_unique<CatalogSite>(
            CatalogSource::LoadFromJson(QByteArray(kTestCatalog), QStringLiteral("catalog.json")),
            *made.ratings, [](const SourceApplication&, bool) { return QByteArray("picture"); },
            CatalogSite::Settings{3, 50});
        return made;
    }();
    return server;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first line is the target, the second the Host header, the rest the client address.
    const QByteArrayView input = Bytes(data, size);
    const qsizetype firstEnd = input.indexOf('\n');
    const QByteArrayView target = firstEnd < 0 ? input : input.first(firstEnd);
    const QByteArrayView rest = firstEnd < 0 ? QByteArrayView() : input.sliced(firstEnd + 1);
    const qsizetype secondEnd = rest.indexOf('\n');
    const QByteArrayView host = secondEnd < 0 ? rest : rest.first(secondEnd);
    const QString client = secondEnd < 0 ? QString() : QString::fromUtf8(rest.sliced(secondEnd + 1)).left(64);
    const SiteAnswer answer = TheServer().site->Answer(
        target, CatalogSite::BaseURLFor(host, QStringLiteral("http://127.0.0.1:1")), client);
    if (answer.status != 200 && answer.status != 400 && answer.status != 404)
        std::abort();
    return 0;
}
