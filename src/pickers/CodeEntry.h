// One code as the search over every category shows it: what it is called where it is
// given, where that is, and the text a picker hands to the insertion road for it.
#pragma once

#include <QString>

#include <vector>

struct TCodeEntry {
    /// The entry or link as its picker shows it (a link as a screen reader names it).
    QString Label;
    /// The picker's caption, and the group or choice the code belongs to there.
    QString Category;
    /// The text handed to InsertCode, before the merge-code markers are added.
    QString Code;
};

using TCodeEntries = std::vector<TCodeEntry>;

/// The text the document receives for `code`: the code itself when it begins with "£",
/// else the code between "£" and "#".
inline QString DocumentText(const QString &code)
{
    return code.startsWith(u'£') ? code : u'£' + code + u'#';
}
