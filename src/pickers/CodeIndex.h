// Finding codes by a few typed letters: the words of the catalogue's labels, categories
// and codes folded once (lower case, French accents dropped) into a sorted list, each
// with the entries that hold it; a query's words are then looked up as the starts of
// those words, so a keystroke costs what its matches cost, not a pass over every text.
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
    /// each group in catalogue order. Every entry when the query holds no word.
    std::vector<int> Find(const QString &query) const;

private:
    /// `text` for matching: a blank before each word, the letters in lower case and
    /// without accents ("œ" as "oe", "æ" as "ae"); other characters separate words.
    static QString Folded(const QString &text);

    TCodeEntries FEntries;
    /// Every word of the entries, folded, in sorted order, and for each the entries
    /// that hold it, in catalogue order.
    std::vector<QString> FWords;
    std::vector<std::vector<int>> FHolders;
    /// Per entry, the word its label begins with (its place in FWords), or -1.
    std::vector<int> FFirstWords;
};
