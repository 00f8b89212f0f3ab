// TCMedecins and TCAntecedents against the practice fixture on both engines, and on
// Firebird copies changed for the states the fixture lacks (empty tables, an older
// member table, unreadable rows, equal labels, a missing label column).
#include "testsupport/AlteredFirebird.h"
#include "testsupport/TestDatabases.h"

#include "config/CConnexion.h"
#include "data/CAntecedent.h"
#include "data/CMedecin.h"
#include "support/ErrorMessageBox.h"
#include "support/StrMan.h"

#include <QApplication>
#include <QScopeGuard>
#include <QTest>

namespace {

const QString AntLocation = QStringLiteral("TCAntecedents.Charger");
const QString AntError = QStringLiteral("Erreur au chargement de la librairie des antécédents.\r\nerr : ");
const QString InternalPrefix = QStringLiteral("Erreur interne OpenRecordSet  : \r\n");
const QString OtherStatement = QStringLiteral("SELECT * FROM REF_TYPE_COLLATERAUX");

// Per member: code, doctor or not, display rank, replacement, est_medecin.
QStringList Summary(const TCMedecins &medecins)
{
    QStringList lines;
    for (const auto &m : medecins.Items())
        lines << QStringLiteral("%1 %2 %3 %4 %5")
                     .arg(m->code_medecin)
                     .arg(m->IsDoctor ? QStringLiteral("doc") : QStringLiteral("---"))
                     .arg(m->DisplayIndex)
                     .arg(m->est_remplacant ? QStringLiteral("rempl") : QStringLiteral("-"))
                     .arg(m->est_medecin);
    return lines;
}

const TCMedecin *ByCode(const TCMedecins &medecins, qint32 code)
{
    for (const auto &m : medecins.Items())
        if (m->code_medecin == code)
            return m.get();
    return nullptr;
}

QStringList Entries(const TCAntecedents &antecedents)
{
    QStringList entries;
    for (const auto &a : antecedents.Items())
        entries << QString::number(a->code_antecedent) + u' ' + a->libelle;
    return entries;
}

} // namespace

class tst_MedecinsAntecedents : public QObject {
    Q_OBJECT

private slots:
    void init() { FScope = std::make_unique<DatabaseTestScope>(); }
    void cleanup() { FScope.reset(); }

    void members_data() { AddEngineData(); }
    void members()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        TCMedecins medecins(connexion.get());
        QCOMPARE(medecins.Count(), 10);
        QCOMPARE(Summary(medecins), (QStringList{
                                        QStringLiteral("8 --- 0 - 0"),      // group 42 does not exist
                                        QStringLiteral("3 doc 1 rempl 0"),  // NULL in doctor group 7
                                        QStringLiteral("6 doc -1 - 0"),     // "Doctor"
                                        QStringLiteral("5 --- -1 - -9"),    // -9 in doctor group 3, inactive
                                        QStringLiteral("4 doc 2 - -1"),     // -1 in group 1
                                        QStringLiteral("2 doc 3 - 0"),      // 0 in doctor group 3
                                        QStringLiteral("7 --- 4 - 0"),      // group 5 holds 1; est_remplacant 1
                                        QStringLiteral("9 --- 5 - 0"),
                                        QStringLiteral("1 --- -1 - 0"),     // "SuperViseur"
                                        QStringLiteral("10 doc 6 - -1"),
                                    }));
        const TCMedecin &m = *ByCode(medecins, 2);
        QCOMPARE(QStringList({m.nom, m.prenom, m.titre_suite, m.adresse, m.telephone3, QString::number(m.type_tel3),
                              m.telephone4, m.mot_passe_secretaire, m.connected, m.dernier_responsable, m.info_pers3,
                              m.adeli, m.ref_interface, m.cps_empreinte, QString::number(m.cps_numero)})
                     .join(u'|'),
                 QStringLiteral("Lefèvre|Hélène|Médecin généraliste|24 avenue Jean Jaurès|04 78 00 00 20|3||secretariat|O|"
                                "Dr Lefèvre Hélène|£ honoraires ¤ secteur 1|691234562|LEF02|FF00EE|67890"));
        // CHAR(4): Firebird pads it with blanks, MySQL does not.
        QCOMPARE(m.initiales.trimmed(), QStringLiteral("HL"));

        // Loaded once.
        std::unique_ptr<TCRecordSet> other;
        connexion->OpenRecordSet(OtherStatement, other, 0);
        QCOMPARE(medecins.Count(), 10);
        QCOMPARE(connexion->LastStatement(), OtherStatement);
        QCOMPARE(FScope->messages().texts(), QStringList());
    }

    // An older database: no group table (only est_medecin -1 makes a doctor), none of the
    // optional columns, and replacement flags held as text.
    void olderDatabase()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"DROP TABLE GLB_GROUPE",
                                                 "ALTER TABLE GLB_MEDECIN DROP adeli, DROP ref_interface, DROP cps_empreinte, "
                                                 "DROP cps_numero, ALTER COLUMN est_remplacant TYPE VARCHAR(10)",
                                                 "UPDATE GLB_MEDECIN SET est_remplacant = 'oui' WHERE code_medecin = 4",
                                                 "UPDATE GLB_MEDECIN SET est_remplacant = '1' WHERE code_medecin = 10"});
        TCMedecins medecins(connexion.get());
        QCOMPARE(medecins.Count(), 10);
        QCOMPARE(Summary(medecins).filter(QStringLiteral(" doc ")),
                 (QStringList{QStringLiteral("4 doc 2 - -1"), QStringLiteral("10 doc 6 rempl -1")}));
        const TCMedecin &m = *ByCode(medecins, 2);
        QCOMPARE(QStringList({m.adeli, m.ref_interface, m.cps_empreinte, QString::number(m.cps_numero)}).join(u'|'),
                 QStringLiteral("|||0"));
    }

    // A member row that cannot be read ends the load with its error: the rows before it
    // stay, the count stays 0 without a new load, and a new Charger does not repeat them.
    // An antecedent row that cannot be read gives the error window and keeps the rows
    // before it. Empty tables give empty lists and no message.
    void unreadableRowsAndEmptyTables()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"ALTER TABLE GLB_MEDECIN ALTER COLUMN type_tel1 TYPE VARCHAR(20)",
                                                 "UPDATE GLB_MEDECIN SET type_tel1 = 'fixe' WHERE code_medecin = 4",
                                                 "DROP TABLE ANT_ANTECEDENT",
                                                 "CREATE TABLE ANT_ANTECEDENT (code_antecedent VARCHAR(10), libelle VARCHAR(120))",
                                                 "INSERT INTO ANT_ANTECEDENT VALUES ('1', 'Alpha')",
                                                 "INSERT INTO ANT_ANTECEDENT VALUES ('x', 'Beta')"});
        TCMedecins medecins(connexion.get());
        QVERIFY_THROWS_EXCEPTION(EScrivoError, medecins.Count());
        const QStringList before = {QStringLiteral("8 --- 0 - 0"), QStringLiteral("3 doc 1 rempl 0"),
                                    QStringLiteral("6 doc -1 - 0"), QStringLiteral("5 --- -1 - -9")};
        QCOMPARE(Summary(medecins), before);
        std::unique_ptr<TCRecordSet> other;
        connexion->OpenRecordSet(OtherStatement, other, 0);
        QCOMPARE(medecins.Count(), 0);
        QCOMPARE(connexion->LastStatement(), OtherStatement);
        QVERIFY_THROWS_EXCEPTION(EScrivoError, medecins.Charger(QStringLiteral("nom, prenom")));
        QCOMPARE(Summary(medecins), before);

        TCAntecedents antecedents(connexion.get());
        antecedents.Charger();
        QCOMPARE(FScope->messages().texts(),
                 QStringList{ErrorMessageText(nullptr, AntError + QStringLiteral("'x' n'est pas une valeur entière correcte"), AntLocation)});
        QCOMPARE(FScope->messages().requests().first().kind, MessageRequest::Kind::ErrorWindow);
        QCOMPARE(Entries(antecedents), QStringList{QStringLiteral("1 Alpha")});

        FScope->messages().clear();
        ExecuteOnFirebird(connexion->Params()->DataBaseName,
                          {QStringLiteral("DELETE FROM GLB_MEDECIN"), QStringLiteral("DELETE FROM ANT_ANTECEDENT")});
        TCMedecins none(connexion.get());
        QCOMPARE(none.Count(), 0);
        QCOMPARE(connexion->LastStatement(), QStringLiteral("SELECT * FROM GLB_MEDECIN ORDER BY nom, prenom"));
        antecedents.Charger();
        QCOMPARE(antecedents.Count(), 0);
        QCOMPARE(FScope->messages().texts(), QStringList());
    }

    void antecedents_data() { AddEngineData(); }
    void antecedents()
    {
        QFETCH(QString, engine);
        SCRIVO_OPEN_TEST_CONNEXION(connexion, engine);
        // As the program does: created without a connection, reading through gConnexion.
        gConnexion = connexion.get();
        const auto restore = qScopeGuard([] { gConnexion = nullptr; });
        TCAntecedents antecedents;
        for (int load = 0; load < 2; ++load) {
            antecedents.Charger();
            QCOMPARE(Entries(antecedents).join(u'|'),
                     QStringLiteral("4 Allergies £ intolérances|2 Chirurgicaux|3 Familiaux • père, mère|6 Habitudes de vie ¤ tabac|"
                                    "1 Médicaux (cœur, poumons)|5 Obstétricaux|7 Vaccinations € remboursées|99 Zona é è à ç œ £ ¤ • €"));
        }
        QCOMPARE(connexion->LastStatement(), QStringLiteral("SELECT * FROM ANT_ANTECEDENT ORDER BY libelle"));
        QCOMPARE(FScope->messages().texts(), QStringList());
    }

    // Equal labels keep the database's order.
    void equalLabels()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"INSERT INTO ANT_ANTECEDENT VALUES (41, 'Psychiatriques')",
                                                 "INSERT INTO ANT_ANTECEDENT VALUES (40, 'Psychiatriques')",
                                                 "INSERT INTO ANT_ANTECEDENT VALUES (42, 'Psychiatriques')"});
        QStringList databaseOrder;
        std::unique_ptr<TCRecordSet> rows;
        QVERIFY(connexion->OpenRecordSet(QStringLiteral("SELECT * FROM ANT_ANTECEDENT ORDER BY libelle"), rows, 0));
        for (; !rows->Eof(); rows->Next())
            databaseOrder << rows->FieldValue(QStringLiteral("code_antecedent")).toString() + u' '
                    + rows->FieldValue(QStringLiteral("libelle")).toString();
        TCAntecedents antecedents(connexion.get());
        antecedents.Charger();
        QCOMPARE(Entries(antecedents), databaseOrder);
        QCOMPARE(antecedents.Count(), 11);
    }

    // The statement fails: the connection's message, then the error window, and an empty list.
    void missingLabelColumn()
    {
        SCRIVO_OPEN_ALTERED_FIREBIRD(connexion, {"ALTER TABLE ANT_ANTECEDENT DROP libelle"});
        TCAntecedents antecedents(connexion.get());
        antecedents.Charger();
        QCOMPARE(FScope->messages().requests().size(), 2);
        const MessageRequest &internal = FScope->messages().requests().at(0);
        QCOMPARE(internal.kind, MessageRequest::Kind::MessageBox);
        QVERIFY(internal.text.startsWith(InternalPrefix));
        QCOMPARE(FScope->messages().requests().at(1).kind, MessageRequest::Kind::ErrorWindow);
        QCOMPARE(FScope->messages().requests().at(1).text,
                 ErrorMessageText(nullptr, AntError + internal.text.mid(InternalPrefix.size()), AntLocation));
        QCOMPARE(antecedents.Count(), 0);
    }

private:
    std::unique_ptr<DatabaseTestScope> FScope;
};

QTEST_MAIN(tst_MedecinsAntecedents)
#include "tst_medecins_antecedents.moc"
