// Whole-file reading, for the template variables file: a file object that opens one
// existing file for reading (the program writes nothing) and reads it entirely as text,
// and the splitting of that text into the variables, one per line.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

/// Code of the last failed TCBinaryFile::Open: 3 the file does not exist, 4 it could not
/// be opened, 5 the object already had an open file.
extern int LastOpenError;

/// Flags of TCBinaryFile::Open: the file must exist (it always must: nothing is created).
enum TBinaryFileFlag : int {
    bfMustExist = 2,
};

/// Open modes: reading, shared with other programs (files are never locked).
enum TBinaryFileMode : int {
    fmOpenRead = 0x0,
    fmShareDenyNone = 0x40,
};

class TCBinaryFile {
public:
    TCBinaryFile() = default;
    /// Closes the open file.
    ~TCBinaryFile();
    TCBinaryFile(const TCBinaryFile &) = delete;
    TCBinaryFile &operator=(const TCBinaryFile &) = delete;

    /// Opens the existing file `path` for reading: the platform's handle, or -1 with
    /// LastOpenError set.
    int Open(const QString &path, int mode, int flags);
    /// The whole content of the open file as text, up to its first zero byte (UTF-8
    /// when valid, else Windows-1252). Raises EScrivoError when no file is open or the
    /// file cannot be read.
    QString ReadAll();

    int Handle() const { return FFile.isOpen() ? FFile.handle() : -1; }
    QString FileName() const { return FFile.fileName(); }

private:
    QFile FFile;
};

/// The lines of `text`: CR LF, LF or a lone CR ends a line, and a final line break adds
/// no empty line.
QStringList TextLines(const QString &text);

/// The whole text of the file at `path`, read for sharing with other programs. Raises
/// EScrivoError with a French message naming the file when it cannot be read.
QString ReadTextFile(const QString &path);
