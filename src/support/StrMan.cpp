// StrMan: the string manager of the whole program (positions counted from 1). The case
// "tables" are Unicode case mapping of one character at a time (QChar::toUpper and
// toLower), so lengths never change and positions in a lowered text match the original.
#include "StrMan.h"

#include <QStringList>

#include <utility>

TStringManager *StringManager = nullptr;

EScrivoError::EScrivoError(QString message)
    : FMessage(std::move(message)), FUtf8(FMessage.toStdString())
{
}

QString ErrorText(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const EScrivoError *>(&error))
        return own->Message();
    return QString::fromUtf8(error.what());
}

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

// Length of the longest blank run of `s` starting at index `i` (0-based).
qsizetype blankRun(const QString &s, qsizetype i)
{
    qsizetype j = i;
    while (j < s.size() && isBlank(s[j]))
        ++j;
    return j - i;
}

} // namespace

TStringManager::TStringManager() = default;

QString TStringManager::Left(const QString &s, int n) const
{
    return n <= 0 ? QString() : s.left(n);
}

QString TStringManager::Right(const QString &s, int n) const
{
    return n <= 0 ? QString() : s.right(n);
}

QString TStringManager::MidFrom(const QString &s, int pos) const
{
    return pos <= 1 ? s : s.mid(pos - 1);
}

QString TStringManager::Lower(const QString &s) const
{
    QString result = s;
    for (QChar &c : result)
        c = LowerChar(c);
    return result;
}

QChar TStringManager::UpperChar(QChar c) const
{
    return c.toUpper();
}

QChar TStringManager::LowerChar(QChar c) const
{
    return c.toLower();
}

int TStringManager::PosFrom(const QString &sub, const QString &s, int start) const
{
    if (start < 1)
        start = 1;
    if (sub.isEmpty() || s.size() < start)
        return 0;
    return int(s.indexOf(sub, start - 1, Qt::CaseSensitive)) + 1;
}

int TStringManager::PosFromText(const QString &sub, const QString &s, int start) const
{
    if (start < 1)
        start = 1;
    if (sub.isEmpty() || s.size() < start)
        return 0;
    for (qsizetype i = start - 1; i + sub.size() <= s.size(); ++i) {
        qsizetype k = 0;
        while (k < sub.size() && UpperChar(s[i + k]) == UpperChar(sub[k]))
            ++k;
        if (k == sub.size())
            return int(i) + 1;
    }
    return 0;
}

QString TStringManager::After(const QString &sub, const QString &s, int start) const
{
    const int p = PosFrom(sub, s, start);
    return p == 0 ? QString() : s.mid(p - 1 + sub.size());
}

QString TStringManager::AfterText(const QString &sub, const QString &s, int start) const
{
    const int p = PosFromText(sub, s, start);
    return p == 0 ? QString() : s.mid(p - 1 + sub.size());
}

QString TStringManager::Before(const QString &sub, const QString &s, int start) const
{
    const int p = PosFrom(sub, s, start);
    return p == 0 ? s : s.left(p - 1);
}

QString TStringManager::TrimBlank(const QString &s, bool upper) const
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && isBlank(s[first]))
        ++first;
    while (last > first && isBlank(s[last - 1]))
        --last;
    QString result = s.mid(first, last - first);
    if (upper)
        for (QChar &c : result)
            c = UpperChar(c);
    return result;
}

QString TStringManager::CollapseBlanks(const QString &s, bool upper) const
{
    const QString trimmed = TrimBlank(s, upper);
    QString result;
    result.reserve(trimmed.size());
    for (qsizetype i = 0; i < trimmed.size();) {
        if (const qsizetype run = blankRun(trimmed, i)) {
            result += QLatin1Char(' ');
            i += run;
        } else {
            result += trimmed[i++];
        }
    }
    return result;
}

QString TStringManager::ReplaceChar(QChar oldChar, QChar newChar, const QString &s, bool ignoreCase) const
{
    QString result = s;
    const QChar upperOld = UpperChar(oldChar);
    for (QChar &c : result)
        if (c == oldChar || (ignoreCase && UpperChar(c) == upperOld))
            c = newChar;
    return result;
}

QString TStringManager::Replace(const QString &pattern, const QString &replacement, const QString &s,
                                int options, const QString &delimiters) const
{
    if (pattern.isEmpty() || pattern.size() > s.size())
        return s;
    const bool ignoreCase = options & roIgnoreCase;
    const bool wholeWord = options & roWholeWord;
    const bool keepCase = options & roKeepCase;

    auto matchesAt = [&](qsizetype i) {
        for (qsizetype k = 0; k < pattern.size(); ++k) {
            const QChar a = s[i + k];
            const QChar b = pattern[k];
            if (ignoreCase ? UpperChar(a) != UpperChar(b) : a != b)
                return false;
        }
        if (wholeWord) {
            if (i > 0 && !delimiters.contains(s[i - 1]))
                return false;
            const qsizetype after = i + pattern.size();
            if (after < s.size() && !delimiters.contains(s[after]))
                return false;
        }
        return true;
    };

    QString result;
    qsizetype i = 0;
    // Scanning the source, not the result, is what keeps an inserted replacement from
    // ever being scanned again.
    while (i + pattern.size() <= s.size()) {
        if (!matchesAt(i)) {
            result += s[i++];
            continue;
        }
        if (keepCase) {
            // Upper case where the replaced text had an upper-case character at that
            // position, lower case elsewhere (also beyond the replaced text's length).
            for (qsizetype k = 0; k < replacement.size(); ++k) {
                const bool upper = k < pattern.size() && s[i + k].isUpper();
                result += upper ? UpperChar(replacement[k]) : LowerChar(replacement[k]);
            }
        } else {
            result += replacement;
        }
        i += pattern.size();
    }
    result += QStringView(s).mid(i);
    return result;
}

bool TStringManager::StartsWith(const QString &prefix, const QString &s, bool ignoreCase) const
{
    if (s.size() < prefix.size())
        return false;
    for (qsizetype k = 0; k < prefix.size(); ++k) {
        if (ignoreCase ? UpperChar(s[k]) != UpperChar(prefix[k]) : s[k] != prefix[k])
            return false;
    }
    return true;
}

QString TStringManager::RemovePrefix(const QString &prefix, const QString &s, bool ignoreCase) const
{
    return StartsWith(prefix, s, ignoreCase) ? s.mid(prefix.size()) : s;
}

namespace {

// When `line` begins with `tag` (leading blanks skipped, a blank run of the tag matching a
// blank run of the line, other characters compared exactly), stores the rest in `rest`.
bool takeTagged(const QString &line, const QString &tag, QString &rest)
{
    qsizetype i = blankRun(line, 0);
    qsizetype j = 0;
    while (j < tag.size()) {
        if (isBlank(tag[j])) {
            const qsizetype lineRun = blankRun(line, i);
            if (lineRun == 0)
                return false;
            i += lineRun;
            j += blankRun(tag, j);
        } else {
            if (i >= line.size() || line[i] != tag[j])
                return false;
            ++i;
            ++j;
        }
    }
    rest = line.mid(i);
    return true;
}

} // namespace

void TStringManager::RaiseWithContext(const QString &message, const QString &functionName,
                                      const QString &className) const
{
    // Adds each comma-separated name of `value` to `list` unless the list already holds it
    // (compared without regard to case), so every name is listed once.
    auto addToList = [this](QString &list, const QString &value) {
        const QStringList names = CollapseBlanks(value).split(QLatin1Char(','));
        for (const QString &raw : names) {
            const QString name = CollapseBlanks(raw);
            if (name.isEmpty())
                continue;
            bool present = false;
            for (const QString &held : list.split(QLatin1Char(',')))
                present = present || (held.size() == name.size() && StartsWith(name, held, true));
            if (list.isEmpty())
                list = name;
            else if (!present)
                list += QLatin1Char(',') + name;
        }
    };

    QString previous;
    if (const std::exception_ptr current = std::current_exception()) {
        try {
            std::rethrow_exception(current);
        } catch (const EScrivoError &error) {
            previous = error.Message();
        } catch (const std::exception &error) {
            previous = QString::fromUtf8(error.what());
        } catch (...) {
            // An error without a text adds nothing to the trail.
        }
    }

    const QString funcTag = QStringLiteral("Func: ");
    const QString classTag = QStringLiteral("Class: ");
    QString earlier, functions, classes;
    for (const QString &line : previous.split(QStringLiteral("\r\n"))) {
        if (CollapseBlanks(line).isEmpty())
            continue;
        QString rest;
        if (takeTagged(line, funcTag, rest))
            addToList(functions, rest);
        else if (takeTagged(line, classTag, rest))
            addToList(classes, rest);
        else if (earlier.isEmpty())
            earlier = line;
        else
            earlier += QStringLiteral("\r\n") + line;
    }

    addToList(functions, functionName);
    const QString funcLine = functions.isEmpty() ? QString() : funcTag + functions;
    QString classLine;
    if (!className.isEmpty()) {
        addToList(classes, className);
        classLine = classTag + classes;
    }

    QString text;
    for (const QString &part : {message, earlier, funcLine})
        if (!part.isEmpty())
            text += part + QStringLiteral("\r\n");
    text += classLine;
    throw EScrivoError(text);
}
