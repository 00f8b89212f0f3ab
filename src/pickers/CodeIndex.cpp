#include "CodeIndex.h"

#include <QStringList>

#include <algorithm>

TCodeIndex::TCodeIndex(TCodeEntries entries)
    : FEntries(std::move(entries))
{
    FLabels.reserve(FEntries.size());
    FTexts.reserve(FEntries.size());
    for (const TCodeEntry &entry : FEntries) {
        FLabels.push_back(Folded(entry.Label));
        FTexts.push_back(FLabels.back() + Folded(entry.Category) + Folded(entry.Code));
    }
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

std::vector<int> TCodeIndex::Find(const QString &query, const std::vector<int> *within) const
{
    // Each word with the blank before it: it matches the start of a word only.
    const QString folded = Folded(query);
    QStringList words;
    for (qsizetype start = folded.indexOf(u' '); start >= 0;) {
        const qsizetype next = folded.indexOf(u' ', start + 1);
        words << folded.mid(start, next < 0 ? -1 : next - start);
        start = next;
    }
    std::vector<int> candidates;
    if (within) {
        candidates = *within;
        std::sort(candidates.begin(), candidates.end());
    }
    std::vector<int> first, others;
    const int count = within ? int(candidates.size()) : Count();
    for (int at = 0; at < count; ++at) {
        const int index = within ? candidates[size_t(at)] : at;
        const QString &text = FTexts[size_t(index)];
        bool all = true;
        for (const QString &word : words)
            if (!text.contains(word)) {
                all = false;
                break;
            }
        if (!all)
            continue;
        if (!words.isEmpty() && FLabels[size_t(index)].startsWith(words.first()))
            first.push_back(index);
        else
            others.push_back(index);
    }
    first.insert(first.end(), others.begin(), others.end());
    return first;
}
