// Finding codes by a few typed letters: the catalogue's labels, categories and codes
// folded once (lower case, French accents dropped, one blank between words), then
// each query matched word by word against the starts of their words.
#pragma once

#include "CodeEntry.h"

#include <QString>

#include <vector>

class TCodeIndex {
public:
    explicit TCodeIndex(TCodeEntries entries);

    int Count() const { return int(FEntries.size()); }
    const TCodeEntry &Entry(int index) const { return FEntries[size_t(index)]; }

    /// The entries in which every word of `query` begins a word of the label, the
    /// category or the code, without regard to case or accents ("medecin" finds
    /// "Médecin"); those whose label begins with the query's first word come first,
    /// each group in catalogue order. Every entry when the query holds no word. Only
    /// the entries of `within` are looked at when given (the results of a query that
    /// this one extends: each of its words begins with the word of that query).
    std::vector<int> Find(const QString &query, const std::vector<int> *within = nullptr) const;

    /// `text` for matching: a blank before each word, the letters in lower case and
    /// without accents ("œ" as "oe", "æ" as "ae"); other characters separate words.
    static QString Folded(const QString &text);

private:
    TCodeEntries FEntries;
    /// Per entry, its label folded, and its label, category and code folded together.
    std::vector<QString> FLabels;
    std::vector<QString> FTexts;
};
