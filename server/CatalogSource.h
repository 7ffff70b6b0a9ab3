#pragma once

#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

// One category of the catalog source; only top-level categories have sub-categories.
struct SourceCategory
{
    int32_t id = 0;
    QString title;
    std::vector<SourceCategory> children;
};

// One web application as the catalog operator wrote it.
struct SourceApplication
{
    int32_t id = 0;
    int32_t categoryId = 0;
    QString title;
    QString tagline;
    QString description;
    QString mainURL;
    QString signupURL;
    QString loginURL;
    QString appURL;
    bool ie = true;
    bool firefox = true;
    bool opera = true;
    bool safari = true;
    QString cost;
    bool wizard = false;
    bool premium = false;
    bool recommended = false;
    double rating = 0.0;     // 0 to 5, the catalog's own rating
    double popularity = 0.0; // 0 to 100 here; the lists send it as 0 to 5
    int64_t dateAdded = 0;   // seconds since 1970-01-01 00:00 UTC
    QString pictureFormat;   // "jpg", "png" or "gif": the screenshot's and thumbnail's format
};

// A program version the server announces in its version file.
struct SourceVersion
{
    int major = 0;
    int minor = 0;
    int release = 0;
    int build = 0;
    QString description;
};

// The catalog a server serves, read from one JSON file (catalog.json in the catalog folder):
//
//   {
//     "versions":   [{"version": "1.0.0.0", "description": "What is new"}],
//     "categories": [{"id": 1, "title": "Office",
//                     "sub": [{"id": 101, "title": "Documents"}]}],
//     "applications": [{
//       "nid": 1001, "cat": 101, "title": "..", "tagline": "..", "description": "..",
//       "main": "https://..", "signup": "https://..", "login": "https://..", "app": "https://..",
//       "browsers": "ie firefox opera safari", "cost": "Free", "options": "wizard premium",
//       "recommended": true, "rating": 4.5, "popularity": 87.5, "added": "2024-03-01",
//       "picture": "jpg"}]
//   }
//
// "browsers" defaults to all four, "options" and "recommended" to none, "picture" to "jpg",
// "signup", "login" and "app" to the main address. Everything else is required.
class CatalogSource final
{
public:
    // Reads and checks the whole file. Throws EMorvalenError naming the file and the faulty
    // entry: a catalog that is wrong anywhere is not served at all, so no client ever reads
    // half of it.
    static CatalogSource LoadFromFile(const QString& fileName);
    static CatalogSource LoadFromJson(const QByteArray& json, const QString& fileName);

    const std::vector<SourceCategory>& Categories() const { return m_categories; }
    const std::vector<SourceApplication>& Applications() const { return m_applications; }
    const std::vector<SourceVersion>& Versions() const { return m_versions; }

    // The category with this identifier at either level, or null.
    const SourceCategory* FindCategory(int32_t id) const;
    // The application with this number, or null.
    const SourceApplication* FindApplication(int32_t id) const;

private:
    std::vector<SourceCategory> m_categories;
    std::vector<SourceApplication> m_applications;
    std::vector<SourceVersion> m_versions;
    QHash<int32_t, size_t> m_applicationIndex;
};
