// What the connection (CConnexion.cpp) shares with the session of each database engine
// (FirebirdSession, MySqlSession): the session interface, the record set a statement's
// rows are fetched into, and the text codec of the connection's character set.
//
// Data flow: TCConnexion opens the session its settings name -> the session runs a
// statement, decoding column names and text values with the connection's codec ->
// rows -> TCFetchedRecordSet, handed to the caller as a TCRecordSet. Statement texts are
// encoded the other way, with the same codec. Internal to the config layer.
#pragma once

#include "CConnexion.h"
#include "support/StrMan.h"

#include <QHash>
#include <QLoggingCategory>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcConnexion)

/// `bytes` read in the connection's character set.
QString DecodeText(const std::string &bytes, TCConnectionSettings::TextCodec codec);
/// `text` in the connection's character set; Windows-1252 writes "?" for a character it lacks.
std::string EncodeText(const QString &text, TCConnectionSettings::TextCodec codec);

// A statement's rows, fetched whole when the statement runs: read-only, forward-only.
class TCFetchedRecordSet final : public TCRecordSet {
public:
    void SetColumns(const QStringList &names)
    {
        // Looked up without regard to case; of two equal names the first wins.
        for (qsizetype i = 0; i < names.size(); ++i)
            if (!FIndex.contains(names.at(i).toUpper()))
                FIndex.insert(names.at(i).toUpper(), int(i));
    }
    void AppendRow(std::vector<QVariant> values) { FRows.push_back(std::move(values)); }
    bool IsEmpty() const { return FRows.empty(); }
    /// The value of a column of the current row by its position.
    QVariant ValueAt(size_t column) const { return Eof() ? QVariant() : FRows[FRow].at(column); }

    bool Eof() const override { return FRow >= FRows.size(); }
    void Next() override
    {
        if (!Eof())
            ++FRow;
    }
    bool HasField(const QString &name) const override { return FIndex.contains(name.toUpper()); }
    QVariant FieldValue(const QString &name) const override
    {
        const auto it = FIndex.constFind(name.toUpper());
        if (it == FIndex.constEnd())
            throw EScrivoError(QStringLiteral("Le champ ") + name + QStringLiteral(" est absent du résultat de la requête."));
        if (Eof())
            throw EScrivoError(QStringLiteral("Lecture du champ ") + name + QStringLiteral(" après la dernière ligne."));
        return FRows[FRow][size_t(it.value())];
    }

private:
    QHash<QString, int> FIndex;
    std::vector<std::vector<QVariant>> FRows;
    size_t FRow = 0;
};

/// An open session of one engine: made attached (its constructor throws when the
/// database cannot be reached), detached when freed.
class TCDatabaseSession {
public:
    virtual ~TCDatabaseSession() = default;
    /// Runs a statement and fetches all its rows. Throws the engine's errors.
    virtual std::unique_ptr<TCFetchedRecordSet> Run(const QString &statement) = 0;
};
