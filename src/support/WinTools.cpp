// WinTools: the small helpers every window and loader uses (integer test, null-tolerant
// readers of database values, list-view records, rich-text loading, the splitter, the
// version text) and the keyed scanner of the raw command line. MsgBox lives in MsgBox.cpp.
#include "StrMan.h"
#include "WinTools.h"

#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

namespace {

// The program's integer rules: leading blanks (spaces only), an optional "+" or "-", then
// decimal digits, or hexadecimal digits after "$", "0x" or "0X". Nothing may follow the
// digits (not even a blank). A decimal value must lie in the 32-bit signed range; a
// hexadecimal one may use all 32 bits ("$FFFFFFFF" is -1), and a "-" negates it.
std::optional<int> ParseInteger(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < text.size() && text[i] == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == QLatin1Char('0')
               && (text[i + 1] == QLatin1Char('x') || text[i + 1] == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;

    const quint64 limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    const quint32 bits = quint32(negative ? 0u - quint32(value) : quint32(value));
    return qint32(bits);
}

QString invalidInteger(const QString &text)
{
    return QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(text);
}

constexpr int ItemDataRole = Qt::UserRole + 0x5C1;

bool isArgumentBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

} // namespace

bool IsInteger(const QString &text)
{
    return ParseInteger(text).has_value();
}

int StrToIntDef(const QString &text, int defaultValue)
{
    return ParseInteger(text).value_or(defaultValue);
}

QString NullToStr(const QVariant &value, const QString &defaultValue)
{
    return value.isNull() ? defaultValue : value.toString();
}

int NullToInt(const QVariant &value, int defaultValue)
{
    if (value.isNull())
        return defaultValue;

    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? -1 : 0;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Char:
        return value.toInt();
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        bool ok = false;
        const qlonglong wide = value.toLongLong(&ok);
        if (ok && value.metaType().id() == QMetaType::ULongLong
            && value.toULongLong() > quint64(std::numeric_limits<int>::max()))
            ok = false;
        if (ok && wide >= std::numeric_limits<int>::min() && wide <= std::numeric_limits<int>::max())
            return int(wide);
        break;
    }
    case QMetaType::Double:
    case QMetaType::Float: {
        // A numeric column read as a floating value: rounded half to even.
        const double number = value.toDouble();
        if (std::isfinite(number)) {
            const double rounded = std::nearbyint(number);
            if (rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max())
                return int(rounded);
        }
        break;
    }
    default:
        if (value.canConvert<QString>()) {
            // CHAR columns come back blank-padded: the padding is not part of the number.
            QString text = value.toString();
            while (!text.isEmpty() && text.back() == QLatin1Char(' '))
                text.chop(1);
            if (const std::optional<int> number = ParseInteger(text))
                return *number;
        }
        break;
    }
    throw EScrivoError(invalidInteger(value.toString()));
}

TListItemData *NewListItemData()
{
    return new TListItemData;
}

void SetListItemData(QTreeWidgetItem *item, TListItemData *data)
{
    TListItemData *previous = ListItemData(item);
    if (previous != data)
        delete previous;
    item->setData(0, ItemDataRole, QVariant::fromValue(static_cast<void *>(data)));
}

TListItemData *ListItemData(const QTreeWidgetItem *item)
{
    return static_cast<TListItemData *>(item->data(0, ItemDataRole).value<void *>());
}

void ClearListView(QTreeWidget *view)
{
    for (QTreeWidgetItemIterator it(view); *it; ++it) {
        delete ListItemData(*it);
        (*it)->setData(0, ItemDataRole, QVariant());
    }
    view->clear();
}

void LoadRichText(QTextEdit *edit, const QString &text)
{
    // The lines are read as a text list reads them: "\r\n", "\n" or a lone "\r" ends a
    // line, and a final line break does not start one more, empty, line.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (lines.endsWith(QLatin1Char('\n')))
        lines.chop(1);
    // setPlainText leaves the read-only and accept-rich-text settings as they are.
    edit->setPlainText(lines);
}

void SplitText(const QString &text, const QString &separators, QStringList &list, bool collapse,
               bool dropTrailingEmpty)
{
    list.clear();
    auto piece = [collapse](const QString &raw) {
        return collapse ? StringManager->CollapseBlanks(raw) : raw;
    };
    QString current;
    for (const QChar c : text) {
        if (separators.contains(c)) {
            list << piece(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!text.isEmpty() && separators.contains(text.back()))
        list << QString();
    else if (const QString last = piece(current); !last.isEmpty())
        list << last;

    if (dropTrailingEmpty)
        while (!list.isEmpty() && StringManager->TrimBlank(list.constLast()).isEmpty())
            list.removeLast();
}

#define SCRIVO_STRINGIFY2(x) #x
#define SCRIVO_STRINGIFY(x) SCRIVO_STRINGIFY2(x)

QString VersionText(bool withRevision)
{
#if defined(SCRIVO_VERSION_MAJOR) && defined(SCRIVO_VERSION_MINOR) && defined(SCRIVO_VERSION_RELEASE) \
    && defined(SCRIVO_VERSION_BUILD)
    const QString parts[] = {
        QStringLiteral(SCRIVO_STRINGIFY(SCRIVO_VERSION_MAJOR)),
        QStringLiteral(SCRIVO_STRINGIFY(SCRIVO_VERSION_MINOR)),
        QStringLiteral(SCRIVO_STRINGIFY(SCRIVO_VERSION_RELEASE)),
        QStringLiteral(SCRIVO_STRINGIFY(SCRIVO_VERSION_BUILD)),
    };
#else
    const QString parts[] = {QString(), QString(), QString(), QString()};
#endif
    // A version given without all four numbers counts as no version information.
    ushort numbers[4];
    for (int k = 0; k < 4; ++k) {
        if (parts[k].isEmpty())
            return QStringLiteral("x.x.x");
        bool ok = false;
        numbers[k] = parts[k].toUShort(&ok);
        if (!ok)
            return QStringLiteral("y.y.y");
    }
    return QString::number(numbers[0]) + QLatin1Char('.') + QString::number(numbers[1])
        + (withRevision ? QStringLiteral(" rév ") : QStringLiteral(".")) + QString::number(numbers[2])
        + QLatin1Char('.') + QString::number(numbers[3]);
}

QString LineBreak()
{
#ifdef _WIN32
    return QStringLiteral("\r\n");
#else
    return QStringLiteral("\n");
#endif
}

QString RawCommandLine(const QStringList &arguments)
{
    QStringList shown;
    for (const QString &argument : arguments) {
        if (argument.isEmpty()) {
            shown << QStringLiteral("\"\"");
            continue;
        }
        const qsizetype blank = std::find_if(argument.begin(), argument.end(), isArgumentBlank) - argument.begin();
        if (blank == argument.size()) {
            shown << argument;
            continue;
        }
        // "-pf=/a b/v.txt" is shown as -pf="/a b/v.txt"; an "=" that comes only after a
        // blank belongs to the value, and the argument is quoted whole.
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        if (equals >= 0 && equals < blank)
            shown << argument.left(equals + 1) + QLatin1Char('"') + argument.mid(equals + 1) + QLatin1Char('"');
        else
            shown << QLatin1Char('"') + argument + QLatin1Char('"');
    }
    return shown.join(QLatin1Char(' '));
}

QString GetParamValue(const QString &commandLine, const QString &key, const QString &defaultValue,
                      const QString &separator, const QString &prefix)
{
    const TStringManager &sm = *StringManager;
    const QString text = QLatin1Char(' ') + commandLine;
    const QString lowered = sm.Lower(text);
    const QString needle = sm.Lower(prefix + key);

    const int match = sm.PosFrom(needle, lowered, 1);
    if (match == 0)
        return defaultValue;
    const int start = match + int(needle.size() + separator.size());
    // A value in double quotes runs at least to its closing quote, whatever it holds (a
    // folder named "Lettre - Dupont"): the end is looked for after that quote.
    int endSearch = match + 1;
    if (start <= text.size() && text.at(start - 1) == u'"') {
        const qsizetype closing = text.indexOf(u'"', start);
        if (closing >= 0)
            endSearch = int(closing) + 1;
    }
    const int next = sm.PosFrom(sm.Lower(prefix), lowered, endSearch);
    if (next == 0)
        return start <= text.size() ? sm.MidFrom(text, start) : defaultValue;
    return next > start ? text.mid(start - 1, next - start) : QString();
}

bool HasParam(const QString &commandLine, const QString &key, const QString &prefix, const QString &separator)
{
    const TStringManager &sm = *StringManager;
    const QString lowered = sm.Lower(QLatin1Char(' ') + commandLine);
    const QString needle = sm.Lower(prefix + key);
    if (lowered.contains(needle + sm.Lower(separator)) || lowered.contains(needle + QLatin1Char(' ')))
        return true;
    const int match = sm.PosFrom(needle, lowered, 1);
    return match > 0 && match + needle.size() - 1 == lowered.size();
}
