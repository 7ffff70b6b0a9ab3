#pragma once

#include "CatalogSource.h"

#include <QString>
#include <QStringList>

#include <vector>

// Finds the applications whose title, tagline or main description contain every word of a
// search text, case-insensitively, best matches first.
class CatalogSearch final
{
public:
    // The source must outlive the search.
    explicit CatalogSearch(const CatalogSource& source);

    // The words of a search text: blanks, control characters and double quotes separate
    // them; each is case-folded. A text without words gives none.
    static QStringList Words(const QString& text);

    // At most limit applications. A match in the title weighs most, then the tagline, then
    // the description; a title that is the whole text comes first. Equal matches go by
    // popularity, then by catalog number. No words, no applications.
    std::vector<const SourceApplication*> Find(const QString& text, size_t limit) const;

private:
    struct Entry
    {
        const SourceApplication* application;
        QString title;
        QString tagline;
        QString description;
        QString all; // the three, one per line
    };

    std::vector<Entry> m_entries;
};
