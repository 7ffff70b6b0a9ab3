#include "CatalogSearch.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

CatalogSearch::CatalogSearch(const CatalogSource& source)
{
    m_entries.reserve(source.Applications().size());
    for (const SourceApplication& application : source.Applications()) {
        Entry entry{&application,
                    application.title.toCaseFolded(),
                    application.tagline.toCaseFolded(),
                    application.description.toCaseFolded(),
                    {}};
        // Words never hold a line break, so no word matches across two of the texts.
        entry.all = entry.title + u'\n' + entry.tagline + u'\n' + entry.description;
        m_entries.push_back(std::move(entry));
    }
}

QStringList CatalogSearch::Words(const QString& text)
{
    QStringList words;
    QString word;
    for (const QChar c : text) {
        if (c.isSpace() || c == u'"' || c.category() == QChar::Other_Control) {
            if (!word.isEmpty())
                words.append(word.toCaseFolded());
            word.clear();
        } else {
            word.append(c);
        }
    }
    if (!word.isEmpty())
        words.append(word.toCaseFolded());
    words.removeDuplicates();
    return words;
}

std::vector<const SourceApplication*> CatalogSearch::Find(const QString& text, size_t limit) const
{
    const QStringList words = Words(text);
    if (words.isEmpty() || limit == 0)
        return {};
    const QString whole = words.join(u' ');

    struct Match
    {
        const SourceApplication* application;
        int score;
    };
    std::vector<Match> matches;
    for (const Entry& entry : m_entries) {
        // Most applications lack some word: one look at all their text rules them out.
        if (!std::all_of(words.begin(), words.end(),
                         [&](const QString& word) { return entry.all.contains(word); }))
            continue;
        int score = 0;
        for (const QString& word : words) {
            const int inTitle = entry.title.contains(word) ? (entry.title.startsWith(word) ? 6 : 4) : 0;
            const int inTagline = entry.tagline.contains(word) ? 2 : 0;
            const int inDescription = entry.description.contains(word) ? 1 : 0;
            if (inTitle + inTagline + inDescription == 0) {
                score = -1;
                break;
            }
            score += inTitle + inTagline + inDescription;
        }
        if (score < 0)
            continue;
        if (entry.title == whole)
            score += 100;
        matches.push_back({entry.application, score});
    }
    std::sort(matches.begin(), matches.end(), [](const Match& a, const Match& b) {
        if (a.score != b.score)
            return a.score > b.score;
        if (a.application->popularity != b.application->popularity)
            return a.application->popularity > b.application->popularity;
        return a.application->id < b.application->id;
    });
    if (matches.size() > limit)
        matches.resize(limit);
    std::vector<const SourceApplication*> found;
    found.reserve(matches.size());
    for (const Match& match : matches)
        found.push_back(match.application);
    return found;
}
