#include "CodeIndex.h"

#include <QHash>
#include <QStringList>

#include <algorithm>

TCodeIndex::TCodeIndex(TCodeEntries entries)
    : FEntries(std::move(entries))
{
    QHash<QString, std::vector<int>> holders;
    std::vector<QString> firstWords;
    firstWords.reserve(FEntries.size());
    for (int index = 0; index < Count(); ++index) {
        const TCodeEntry &entry = FEntries[size_t(index)];
        const QStringList label = Folded(entry.Label).split(u' ', Qt::SkipEmptyParts);
        firstWords.push_back(label.value(0));
        const QStringList words = label + Folded(entry.Category + u' ' + entry.Code).split(u' ', Qt::SkipEmptyParts);
        for (const QString &word : words) {
            std::vector<int> &list = holders[word];
            if (list.empty() || list.back() != index)
                list.push_back(index);
        }
    }
    FWords.reserve(size_t(holders.size()));
    for (auto word = holders.cbegin(); word != holders.cend(); ++word)
        FWords.push_back(word.key());
    std::sort(FWords.begin(), FWords.end());
    QHash<QString, int> places;
    FHolders.reserve(FWords.size());
    for (const QString &word : FWords) {
        places.insert(word, int(FHolders.size()));
        FHolders.push_back(std::move(holders[word]));
    }
    FFirstWords.reserve(firstWords.size());
    for (const QString &word : firstWords)
        FFirstWords.push_back(word.isEmpty() ? -1 : places.value(word, -1));
}

QString TCodeIndex::Folded(const QString &text)
{
    QString folded;
    folded.reserve(text.size() + 2);
    bool inWord = false;
    for (QChar c : text) {
        if (!c.isLetterOrNumber()) {
            inWord = false;
            continue;
        }
        if (!inWord)
            folded += u' ';
        inWord = true;
        c = c.toLower();
        if (c == u'œ')
            folded += QStringLiteral("oe");
        else if (c == u'æ')
            folded += QStringLiteral("ae");
        else if (c.decompositionTag() == QChar::Canonical)
            folded += c.decomposition().at(0); // the letter without its accent
        else
            folded += c;
    }
    return folded;
}

std::vector<int> TCodeIndex::Find(const QString &query) const
{
    const QStringList words = Folded(query).split(u' ', Qt::SkipEmptyParts);
    // Per entry, how many of the query's words, in turn, it has matched so far.
    std::vector<int> matched(FEntries.size(), 0);
    int firstFrom = 0, firstTo = 0; // the places of the words the first query word begins
    for (int k = 0; k < words.size(); ++k) {
        // The words beginning with this one follow each other in the sorted list.
        const auto from = std::lower_bound(FWords.begin(), FWords.end(), words[k]);
        auto to = from;
        while (to != FWords.end() && to->startsWith(words[k]))
            ++to;
        if (k == 0) {
            firstFrom = int(from - FWords.begin());
            firstTo = int(to - FWords.begin());
        }
        for (auto word = from; word != to; ++word)
            for (int entry : FHolders[size_t(word - FWords.begin())])
                if (matched[size_t(entry)] == k)
                    matched[size_t(entry)] = k + 1;
    }
    std::vector<int> first, others;
    for (int entry = 0; entry < Count(); ++entry) {
        if (matched[size_t(entry)] != words.size())
            continue;
        const int firstWord = FFirstWords[size_t(entry)];
        if (!words.isEmpty() && firstWord >= firstFrom && firstWord < firstTo)
            first.push_back(entry);
        else
            others.push_back(entry);
    }
    first.insert(first.end(), others.begin(), others.end());
    return first;
}
