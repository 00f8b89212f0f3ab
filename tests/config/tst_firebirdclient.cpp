// The Windows program on a machine without the Firebird client: it starts (fbclient.dll
// is delay-loaded), and a connection to a Firebird database fails with a message naming
// the missing file instead of ending the process.
#include "testsupport/TestDatabases.h"

#include "config/CCnxParam.h"
#include "support/CAppNames.h"

#include <QTest>

class TestFirebirdClient : public QObject {
    Q_OBJECT

private slots:
    void missingClientIsNamed()
    {
        if (FirebirdClientPresent())
            QSKIP("fbclient.dll is installed on this machine");
        DatabaseTestScope scope;
        const TCAppNames names;
        auto params = std::make_unique<TCCnxParam>(names, QStringList{QStringLiteral("scrivo")});
        params->DataBaseType = QStringLiteral("FireBird 2.1");
        params->DataBaseName = QStringLiteral("C:\\cabinet\\cabinet.fdb");
        params->Login = QStringLiteral("SYSDBA");
        TCConnexion connexion(std::move(params));
        connexion.SetupConnection();
        QVERIFY(!connexion.Connect(false));
        QVERIFY2(connexion.LastServerMessage().contains(QStringLiteral("fbclient.dll")),
                 qPrintable(connexion.LastServerMessage()));
    }
};

QTEST_GUILESS_MAIN(TestFirebirdClient)
#include "tst_firebirdclient.moc"
