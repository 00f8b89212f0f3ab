// TCGlobaleOption and TCReferences against the practice fixture on both engines, and on
// Firebird copies changed for the states the fixture lacks (no doctor group, unreadable
// rows, empty or missing tables).
#include "testsupport/AlteredFirebird.h"
#include "testsupport/Endings.h"
#include "testsupport/TestDatabases.h"

#include "config/CConnexion.h"
#include "config/COption.h"
#include "config/CReferences.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"
#include "support/WinTools.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

namespace {

const QString OptionsLocation = QStringLiteral("TCGlobaleOption.Charger");
const QString InternalPrefix = QStringLiteral("Erreur interne OpenRecordSet  : \r\n");
const QString ColTypeStatement = QStringLiteral("SELECT * FROM REF_TYPE_COLLATERAUX ORDER BY ordre, libelle");
const QString OtherStatement = QStringLiteral("SELECT * FROM ANT_ANTECEDENT");

// Runs another statement, so that LastStatement then tells whether a call read anything.
void RunOtherStatement(TCConnexion &connexion)
{
    std::unique_ptr<TCRecordSet> rows;
    connexion.OpenRecordSet(OtherStatement, rows, 0);
}

// The first line of the error `action` raises.
QString RaisedFirstLine(const std::function<void()> &action)
{
    return Raised(action).section(QStringLiteral("\r\n"), 0, 0);
}

QList<qint32> ItemCodes(const TCGlobaleOption &options)
{
    QList<qint32> codes;
    for (const auto &item : options.Items)
        codes << item->Code;
    return codes;
}

} // namespace

class tst_OptionsReferences : public QObject {
    Q_OBJECT

private slots:
    void init() { FScope = std::make_unique<DatabaseTestScope>(); }
    void cleanup() { FScope.reset(); }

    void options_data() { AddEngineData(); }
    void options()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        // As the program does: created without a connection, reading through gConnexion.
        gConnexion = connexion.get();
        const auto restore = qScopeGuard([] { gConnexion = nullptr; });
        TCGlobaleOption options;
        options.Charger();

        QCOMPARE(FScope->messages().texts(), QStringList());
        // "GroupeReferant" is NULL: the smallest of the doctor groups 3 and 7.
        QCOMPARE(options.GroupeReferant, 3);
        // CHAMP_LIBRE_15, CHAMP_LIBRE_X and champ_libre_2 change nothing; 4 is a doctor's own.
        QStringList fields;
        for (size_t i = 0; i < 15; ++i)
            fields << QString::number(options.ChampLibreValeur[i]) + u' ' + options.ChampLibreLibelle[i];
        QCOMPARE(fields.join(u'|'), QStringLiteral("1 Médecin traitant déclaré|0 Allergies connues • voir dossier|"
                                                   "0 N° mutuelle £ ¤ tiers payant|2 |0 |0 |0 |12 Cœur & œdème|0 |0 |0 |0 |0 |0 |"
                                                   "3 Dépassement € honoraires"));
        // Every practice-wide row is kept, in code order.
        QCOMPARE(ItemCodes(options), (QList<qint32>{5, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21}));
        const TCOptionItem &cabinet = *options.Items.front();
        QCOMPARE(cabinet.Mnemonique + u'|' + QString::number(cabinet.CodeMedecin) + u'|' + QString::number(cabinet.ValeurNum)
                     + u'|' + cabinet.ValeurChaine,
                 QStringLiteral("CabinetNom|-1|-1|Cabinet médical des Tilleuls"));
        QCOMPARE(options.Items[8]->Mnemonique, QStringLiteral("CHAMP_LIBRE_15"));
        QCOMPARE(options.Items[11]->ValeurNum, 30);
    }

    void noDoctorGroupEndsTheProgram()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"UPDATE GLB_GROUPE SET est_medecin = 0 WHERE est_medecin = -1"});
        TCGlobaleOption options(connexion.get());
        options.Charger();

        QCOMPARE(FScope->messages().requests().size(), 1);
        const MessageRequest &message = FScope->messages().requests().first();
        QCOMPARE(message.kind, MessageRequest::Kind::MessageBox);
        QCOMPARE(message.text,
                 QStringLiteral("Impossible de déterminer le groupe par défaut.\r\nLe lancement de Talvor est impossible."));
        QCOMPARE(message.title, ApplicationTitle());
        QCOMPARE(message.flags, int(mfOk));
        QCOMPARE(options.Items.size(), size_t(13));
        QVERIFY(options.TerminationRequested);
        QVERIFY(ApplicationEnds());
    }

    // A free field that is not a number is told about and its row goes on, then fails as
    // an option row: the load stops there and keeps what it read.
    void unreadableFreeField()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"ALTER TABLE OPT_PARAM_MEDECIN ALTER COLUMN valeur_num TYPE VARCHAR(20)",
                                                 "UPDATE OPT_PARAM_MEDECIN SET valeur_num = '7' WHERE code_param_medecin = 10",
                                                 "UPDATE OPT_PARAM_MEDECIN SET valeur_num = 'douze' WHERE code_param_medecin = 14"});
        TCGlobaleOption options(connexion.get());
        options.Charger();

        const QString notInteger = QStringLiteral("'douze' n'est pas une valeur entière correcte");
        QCOMPARE(FScope->messages().texts(),
                 (QStringList{ErrorMessageText(nullptr, QStringLiteral("Erreur pendant l'analyse du paramètre : CHAMP_LIBRE_3\r\nErr : ") + notInteger,
                                               OptionsLocation),
                              ErrorMessageText(nullptr, QStringLiteral("Erreur au chargement des options globales.\r\nDernière traitée < CHAMP_LIBRE_3>\r\nerr : ") + notInteger,
                                               OptionsLocation)}));
        QCOMPARE(FScope->messages().requests().at(0).kind, MessageRequest::Kind::ErrorWindow);
        QCOMPARE(FScope->messages().requests().at(1).kind, MessageRequest::Kind::ErrorWindow);
        QCOMPARE(ItemCodes(options), (QList<qint32>{5, 10, 11, 12, 13}));
        QCOMPARE(options.GroupeReferant, 7);
        QCOMPARE(options.ChampLibreLibelle[2], QStringLiteral("N° mutuelle £ ¤ tiers payant"));
    }

    // The connection's message, then the loader's; no default-group check after an error.
    void missingOptionTable()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"DROP TABLE OPT_PARAM_MEDECIN"});
        TCGlobaleOption options(connexion.get());
        options.Charger();

        QCOMPARE(FScope->messages().requests().size(), 2);
        const MessageRequest &internal = FScope->messages().requests().at(0);
        QCOMPARE(internal.kind, MessageRequest::Kind::MessageBox);
        QVERIFY(internal.text.startsWith(InternalPrefix));
        QCOMPARE(FScope->messages().requests().at(1).kind, MessageRequest::Kind::ErrorWindow);
        QCOMPARE(FScope->messages().requests().at(1).text,
                 ErrorMessageText(nullptr, QStringLiteral("Erreur au chargement des options globales.\r\nDernière traitée < >\r\nerr : ")
                                               + internal.text.mid(InternalPrefix.size()),
                                  OptionsLocation));
        QVERIFY(!options.TerminationRequested);
    }

    void references_data() { AddEngineData(); }
    void references()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        TCReferences references(connexion.get());

        // Groups come unordered: by code. NULL reads as 0; only -1 is a doctor group.
        QCOMPARE(references.GroupeCount(), 6);
        QMap<qint32, QString> groups;
        for (int i = 0; i < references.GroupeCount(); ++i) {
            const TCReferenceItem *g = references.Groupe(i);
            groups.insert(g->Code, QStringLiteral("%1 %2 %3").arg(g->Libelle, g->Valeur.toString()).arg(g->EstMedecin()));
        }
        QCOMPARE(groups, (QMap<qint32, QString>{{1, QStringLiteral("Secrétariat 0 0")}, {2, QStringLiteral("Administration 0 0")},
                                                {3, QStringLiteral("Médecins généralistes -1 1")}, {5, QStringLiteral("Infirmières 1 0")},
                                                {7, QStringLiteral("Médecins spécialistes -1 1")}, {9, QStringLiteral("Kinés & orthophonistes 0 0")}}));
        TCReferenceItem *item = nullptr;
        QVERIFY(references.GroupeByCode(7, item) && item->Libelle == QStringLiteral("Médecins spécialistes"));
        QVERIFY(!references.GroupeByCode(42, item) && !item);
        QCOMPARE(RaisedFirstLine([&] { references.Groupe(6); }),
                 QStringLiteral("indice en dehors de la plage lors de l'appel à TCReferences.Groupe"));
        QCOMPARE(RaisedFirstLine([&] { references.Groupe(-1); }), QStringLiteral("Indice de liste hors limites (-1)"));

        // Collateral types by order then label; inactif 2 and NULL are stored as 0.
        QCOMPARE(references.ColTypeCount(), 7);
        QCOMPARE(connexion->LastStatement(), ColTypeStatement);
        QStringList types;
        for (int i = 0; i < references.ColTypeCount(); ++i) {
            const TCReferenceItem *t = references.ColType(i);
            types << QStringLiteral("%1 %2 %3").arg(t->Code).arg(t->Libelle).arg(t->Inactif);
            QVERIFY(!t->Valeur.isValid());
        }
        QCOMPARE(types.join(u'|'), QStringLiteral("13 Mère 0|12 Père 0|14 Conjoint(e) 0|15 Enfant -1|16 Frère • sœur 0|"
                                                  "17 Tuteur légal 1|0 Autre 0"));
        QCOMPARE(RaisedFirstLine([&] { references.ColType(7); }),
                 QStringLiteral("indice en dehors de la plage lors de l'appel à TCReferences.ColType"));

        // Both lists are read once.
        RunOtherStatement(*connexion);
        QCOMPARE(references.GroupeCount() + references.ColTypeCount(), 13);
        QCOMPARE(connexion->LastStatement(), OtherStatement);
        QCOMPARE(FScope->messages().texts(), QStringList());
    }

    // An empty table answers -1 and is read again on every call; a read error reaches
    // the caller and the next call reads again.
    void emptyAndUnreadableLists()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"DELETE FROM GLB_GROUPE", "ALTER TABLE REF_TYPE_COLLATERAUX DROP inactif"});
        TCReferences references(connexion.get());
        for (int call = 0; call < 2; ++call) {
            RunOtherStatement(*connexion);
            QCOMPARE(references.GroupeCount(), -1);
            QCOMPARE(connexion->LastStatement(), QStringLiteral("SELECT * FROM GLB_GROUPE"));
            RunOtherStatement(*connexion);
            QCOMPARE(RaisedFirstLine([&] { references.ColTypeCount(); }),
                     QStringLiteral("Le champ inactif est absent du résultat de la requête."));
            QCOMPARE(connexion->LastStatement(), ColTypeStatement);
        }
        QCOMPARE(RaisedFirstLine([&] { references.Groupe(0); }),
                 QStringLiteral("indice en dehors de la plage lors de l'appel à TCReferences.Groupe"));
        QCOMPARE(FScope->messages().texts(), QStringList());
    }

    // Without GLB_GROUPE the groups are absent for good, even once the table appears.
    void missingGroupTable()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"DROP TABLE GLB_GROUPE"});
        TCReferences references(connexion.get());
        TCReferenceItem *item = nullptr;
        QCOMPARE(references.GroupeCount(), 0);
        ExecuteOnFirebird(connexion->Params()->DataBaseName,
                          {QStringLiteral("CREATE TABLE GLB_GROUPE (code_groupe INTEGER, lib_groupe VARCHAR(60), est_medecin SMALLINT)"),
                           QStringLiteral("INSERT INTO GLB_GROUPE VALUES (3, 'Medecins', -1)")});
        QVERIFY(connexion->TableExist(QStringLiteral("GLB_GROUPE")));
        QCOMPARE(references.GroupeCount(), 0);
        QVERIFY(!references.GroupeByCode(3, item));
        QCOMPARE(connexion->LastStatement(), QString());
        QCOMPARE(FScope->messages().texts(), QStringList());
    }

private:
    std::unique_ptr<DatabaseTestScope> FScope;
};

QTEST_MAIN(tst_OptionsReferences)
#include "tst_options_references.moc"
