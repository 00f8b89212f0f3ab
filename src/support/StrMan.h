// String utilities of the whole program: extraction by position (counted from 1) or by
// separator, searches, case tables, trimming, blank collapsing, replacement, and the
// errors that carry the trail of functions and classes they passed through.
#pragma once

#include <QString>

#include <exception>
#include <string>

/// The program's error: a French message, possibly several lines with a "Func: " and a
/// "Class: " trail (see TStringManager::RaiseWithContext).
class EScrivoError : public std::exception {
public:
    explicit EScrivoError(QString message);
    const QString &Message() const { return FMessage; }
    const char *what() const noexcept override { return FUtf8.c_str(); }

private:
    QString FMessage;
    std::string FUtf8;
};

/// The message of `error`: an EScrivoError's own text, else what() read as UTF-8.
QString ErrorText(const std::exception &error);

/// Positions count from 1. The searches treat a start of 0 or less as 1 and return 0 (not
/// found) when `sub` is empty or `s` is shorter than `start`. Comparisons without regard
/// to case map both sides through UpperChar (Unicode, one character at a time).
class TStringManager {
public:
    enum ReplaceOption { roNone = 0, roIgnoreCase = 0x1, roWholeWord = 0x2, roKeepCase = 0x4 };

    TStringManager();

    QString Left(const QString &s, int n) const;
    QString Right(const QString &s, int n) const;
    QString MidFrom(const QString &s, int pos) const;
    QString Lower(const QString &s) const;
    QChar UpperChar(QChar c) const;
    QChar LowerChar(QChar c) const;
    int PosFrom(const QString &sub, const QString &s, int start = 1) const;
    int PosFromText(const QString &sub, const QString &s, int start = 1) const;
    QString After(const QString &sub, const QString &s, int start = 1) const;
    QString AfterText(const QString &sub, const QString &s, int start = 1) const;
    QString Before(const QString &sub, const QString &s, int start = 1) const;
    QString TrimBlank(const QString &s, bool upper = false) const;
    QString CollapseBlanks(const QString &s, bool upper = false) const;
    QString ReplaceChar(QChar oldChar, QChar newChar, const QString &s, bool ignoreCase = false) const;
    /// Replaces the non-overlapping occurrences of `pattern` scanning the original text
    /// only (an inserted replacement is never scanned again). roWholeWord: the match must
    /// lie between the text's ends or characters of `delimiters`. roKeepCase: replacement
    /// characters are upper-cased where the matched text had an upper-case character at
    /// that position, lower-cased elsewhere.
    QString Replace(const QString &pattern, const QString &replacement, const QString &s,
                    int options = roNone, const QString &delimiters = QStringLiteral(" \t\r\n.,;:!?()[]{}\"'")) const;
    bool StartsWith(const QString &prefix, const QString &s, bool ignoreCase = false) const;
    QString RemovePrefix(const QString &prefix, const QString &s, bool ignoreCase = false) const;

    /// Throws EScrivoError: `message`, the messages of the error being handled, one
    /// "Func: " line and one "Class: " line (omitted when `className` is empty).
    [[noreturn]] void RaiseWithContext(const QString &message, const QString &functionName,
                                       const QString &className = QString()) const;
};

/// The process-wide string manager, created by the program entry (and by tests).
extern TStringManager *StringManager;
