// Small helpers used everywhere: the message box with the program's own flags and the
// "*APP*" title convention, integer test, null-tolerant readers of database values,
// list and rich-text helpers, the text splitter, the version label text, and the
// keyed scanner of the raw command line.
#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

class QWidget;
class QTreeWidget;
class QTextEdit;

/// Flags of MsgBox (the program's own bit set).
enum MsgBoxFlag : int {
    mfOk = 0x1,
    mfOkCancel = 0x2,
    mfYesNo = 0x4,
    mfYesNoCancel = 0x8,
    mfDefault1 = 0x10,
    mfDefault2 = 0x20,
    mfDefault3 = 0x40,
    mfWarning = 0x80,
    mfError = 0x200,
    mfInformation = 0x400,
    mfQuestion = 0x800,
};

/// Button codes MsgBox returns.
enum MsgBoxResult : int { idOk = 1, idCancel = 2, idYes = 6, idNo = 7 };

/// The platform message-box style (MB_* values) that `flags` stand for.
int MsgBoxStyle(int flags);

/// The application title: the program file's name without directory, cut at its first
/// ".", first character kept, the rest lower-cased ("scrivo" gives "Scrivo").
QString ApplicationTitle();

/// Shows a modal message box and returns the button pressed (idOk, idYes...). The
/// title "*APP*" stands for ApplicationTitle().
int MsgBox(QWidget *parent, const QString &text, const QString &title, int flags);

/// True when `text` converts to a 32-bit integer with the program's integer rules: leading
/// spaces, an optional sign, decimal digits or "$"/"0x" hexadecimal (up to 32 bits),
/// nothing after the digits.
bool IsInteger(const QString &text);
/// The integer of `text` with the same rules, or `defaultValue` when it does not convert.
int StrToIntDef(const QString &text, int defaultValue);

/// A database field value as text, or `defaultValue` when null.
QString NullToStr(const QVariant &value, const QString &defaultValue = QString());
/// A database field value as integer, or `defaultValue` when null: integers within 32
/// bits, floating values rounded half to even, true as -1, texts by the integer rules above
/// (trailing blanks of CHAR columns ignored). Throws EScrivoError ("'x' n'est pas une
/// valeur entière correcte") when the value is neither null nor convertible.
int NullToInt(const QVariant &value, int defaultValue = 0);

/// Data record of a list item: a value and an optional owned memory block.
struct TListItemData {
    qint32 Value = 0;
    QByteArray Block;
};
/// A new, zeroed record; ClearListView frees it.
TListItemData *NewListItemData();
/// Attaches a record to a list item (the view then owns it until ClearListView); a
/// different record already attached to the item is freed.
void SetListItemData(class QTreeWidgetItem *item, TListItemData *data);
TListItemData *ListItemData(const class QTreeWidgetItem *item);
/// Frees every item's data record, then removes all items.
void ClearListView(QTreeWidget *view);

/// Loads `text` into a rich-text box as plain lines: "\r\n", "\n" or a lone "\r" ends a
/// line, a final line break adds no empty line. Read-only and accept-rich-text settings
/// are left as they were.
void LoadRichText(QTextEdit *edit, const QString &text);

/// Splits `text` at every character of `separators` into `list` (cleared first).
void SplitText(const QString &text, const QString &separators, QStringList &list,
               bool collapse, bool dropTrailingEmpty);

/// The program's version: "6.0 rév 12.3" with the revision word, "6.0.12.3" without.
QString VersionText(bool withRevision);

/// The platform's line break, for lines typed into a document: CR LF on Windows, LF
/// elsewhere (a CR would show as "^M" in a Linux text file).
QString LineBreak();

/// The raw command line as Windows would show it, rebuilt from the arguments
/// (program first): blanks between arguments; an argument holding a blank is quoted
/// after its first "=" when no blank comes before that "=", else whole; an empty
/// argument is shown as "". The scanner below needs StringManager.
QString RawCommandLine(const QStringList &arguments);

/// Value of a keyed parameter in a raw command line (see the scanner's rules).
QString GetParamValue(const QString &commandLine, const QString &key, const QString &defaultValue,
                      const QString &separator, const QString &prefix);
/// Whether a keyed parameter is present in a raw command line.
bool HasParam(const QString &commandLine, const QString &key, const QString &prefix,
              const QString &separator);
