// What the question and questionnaire loaders (CQuestion.cpp, CQuestionnaire.cpp) share:
// the connection check and the readers of optional columns.
//
// Data flow: a record set's current row -> Read* -> one field of the object being loaded,
// left as it is when the row has no such column. Internal to the data layer.
#pragma once

#include "config/CConnexion.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

namespace QuestionFields {

inline TCConnexion *Required(TCConnexion *connexion)
{
    if (!connexion)
        throw EScrivoError(QStringLiteral("Pas de connexion en cours"));
    return connexion;
}

// Optional columns: each reader leaves `field` as it is when the column is missing.
inline void ReadInt(const TCRecordSet &rs, const QString &column, qint32 &field)
{
    if (rs.HasField(column))
        field = NullToInt(rs.FieldValue(column));
}

inline void ReadText(const TCRecordSet &rs, const QString &column, QString &field)
{
    if (rs.HasField(column))
        field = NullToStr(rs.FieldValue(column));
}

inline void ReadBool(const TCRecordSet &rs, const QString &column, bool &field)
{
    if (rs.HasField(column))
        field = NullToInt(rs.FieldValue(column)) != 0;
}

} // namespace QuestionFields
