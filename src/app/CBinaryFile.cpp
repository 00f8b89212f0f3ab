#include "CBinaryFile.h"

#include "platform/TextDecoding.h"
#include "support/StrMan.h"

#include <QFileInfo>

int LastOpenError = 0;

namespace {

// A variables file is a few lines; anything larger is not one.
constexpr qint64 MaxReadSize = 64 * 1024 * 1024;

QString Reason(const QFile &file)
{
    switch (file.error()) {
    case QFileDevice::PermissionsError: return QStringLiteral("accès refusé");
    case QFileDevice::ReadError: return QStringLiteral("erreur de lecture");
    default: return file.errorString();
    }
}

} // namespace

TCBinaryFile::~TCBinaryFile() = default; // QFile closes the file

int TCBinaryFile::Open(const QString &path, int /*mode: reading, shared*/, int /*flags*/)
{
    if (FFile.isOpen()) {
        LastOpenError = 5;
        return -1;
    }
    // The program only reads: a missing file is never created.
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        LastOpenError = 3;
        return -1;
    }
    FFile.setFileName(path);
    // No buffering: ReadAll takes the file as it is on disk.
    if (!FFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        LastOpenError = 4;
        return -1;
    }
    return FFile.handle();
}

QString TCBinaryFile::ReadAll()
{
    if (!FFile.isOpen())
        throw EScrivoError(QStringLiteral("Aucun fichier n'est ouvert pour la lecture."));
    const qint64 size = FFile.size();
    FFile.seek(0);
    if (size <= 0)
        return QString();
    if (size > MaxReadSize)
        throw EScrivoError(QStringLiteral("Le fichier <") + FFile.fileName() + QStringLiteral("> est trop volumineux."));

    QByteArray buffer = FFile.read(size);
    if (buffer.isEmpty() && FFile.error() != QFileDevice::NoError)
        throw EScrivoError(QStringLiteral("Impossible de lire le fichier <") + FFile.fileName() + QStringLiteral("> : ")
                           + Reason(FFile));
    // The text ends at the first zero byte.
    if (const qsizetype zero = buffer.indexOf('\0'); zero >= 0)
        buffer.truncate(zero);
    return QString::fromStdString(platform::decodeText(std::string_view(buffer.constData(), buffer.size())));
}

QStringList TextLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString ReadTextFile(const QString &path)
{
    TCBinaryFile file;
    if (file.Open(path, fmOpenRead | fmShareDenyNone, bfMustExist) < 0) {
        QString reason = QStringLiteral("le fichier n'existe pas");
        if (LastOpenError != 3) {
            QFile probe(path);
            probe.open(QIODevice::ReadOnly);
            reason = Reason(probe);
        }
        throw EScrivoError(QStringLiteral("Impossible d'ouvrir le fichier <") + path + QStringLiteral("> : ") + reason);
    }
    return file.ReadAll();
}
