// Whole-file reading, for the template variables file: a file object that opens (and
// optionally creates or recreates) one file and reads it entirely as text, and the
// splitting of that text into the variables, one per line.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

/// Code of the last failed TCBinaryFile::Open: 1 the existing file could not be deleted,
/// 2 the file could not be created, 3 the file does not exist (must-exist asked), 4 the
/// file could not be opened, 5 the object already had an open file.
extern int LastOpenError;

/// Flags of TCBinaryFile::Open.
enum TBinaryFileFlag : int {
    bfRecreate = 1, ///< delete an existing file and create it empty
    bfMustExist = 2,
};

/// Open modes: the access in the low bits (0 read, 1 write, 2 read and write); sharing
/// bits (0x10 to 0x40) are accepted and mean nothing here: files are never locked.
enum TBinaryFileMode : int {
    fmOpenRead = 0x0,
    fmOpenWrite = 0x1,
    fmOpenReadWrite = 0x2,
    fmShareDenyNone = 0x40,
};

class TCBinaryFile {
public:
    TCBinaryFile() = default;
    /// Closes the open file.
    ~TCBinaryFile();
    TCBinaryFile(const TCBinaryFile &) = delete;
    TCBinaryFile &operator=(const TCBinaryFile &) = delete;

    /// Opens `path`: the platform's handle, or -1 with LastOpenError set.
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
