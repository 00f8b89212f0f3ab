// The INI reader with the profile-string rules, and the decoding of file text that it
// shares with the registry files.
#include "platform/IniFile.h"
#include "platform/TextDecoding.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {
std::string bytes(const QByteArray &data)
{
    return std::string(data.constData(), data.size());
}
QString utf8(const std::string &text)
{
    return QString::fromStdString(text);
}
} // namespace

class TestIniFile : public QObject {
    Q_OBJECT

private slots:
    void profileRules_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        QTest::newRow("names without regard to case") << QByteArray("[Cnx]\r\nDataBaseName=base\r\n") << "CNX" << "databasename" << "base";
        QTest::newRow("blanks around names and value") << QByteArray("[ CNX ]\n  Host \t=  srv 1 \n") << "cnx" << "HOST" << "srv 1";
        QTest::newRow("first line of a key wins") << QByteArray("[CNX]\nHost=a\nHost=b\n") << "CNX" << "Host" << "a";
        QTest::newRow("only the first section of a name") << QByteArray("[CNX]\nLogin=x\n[CNX]\nHost=b\n") << "CNX" << "Host" << "";
        QTest::newRow("missing key") << QByteArray("[CNX]\nHost=a\n") << "CNX" << "Port" << "";
        QTest::newRow("missing section") << QByteArray("[CNX]\nHost=a\n") << "CHEMINS" << "Host" << "";
        QTest::newRow("double quotes dropped, backslashes kept") << QByteArray("[C]\nModele=\"\\\\srv\\n modeles\\\"\n") << "C" << "Modele" << "\\\\srv\\n modeles\\";
        QTest::newRow("single quotes dropped") << QByteArray("[C]\nK='a b'\n") << "C" << "K" << "a b";
        QTest::newRow("unbalanced quote kept") << QByteArray("[C]\nK=\"abc\n") << "C" << "K" << "\"abc";
        QTest::newRow("mixed quotes kept") << QByteArray("[C]\nK=\"abc'\n") << "C" << "K" << "\"abc'";
        QTest::newRow("no inline comment") << QByteArray("[C]\nHost=srv ; serveur # 2\n") << "C" << "Host" << "srv ; serveur # 2";
        QTest::newRow("comment line ignored") << QByteArray("[C]\n;Host=x\nHost=y\n") << "C" << "Host" << "y";
        QTest::newRow("line without equals ignored") << QByteArray("[C]\nHost\nHost=y\n") << "C" << "Host" << "y";
        QTest::newRow("keys before any section ignored") << QByteArray("Host=a\n[C]\n") << "C" << "Host" << "";
        QTest::newRow("value holding equals") << QByteArray("[C]\nPassWord=a=b\n") << "C" << "PassWord" << "a=b";
        QTest::newRow("lone CR line ends") << QByteArray("[C]\rHost=a\rLogin=b") << "C" << "Login" << "b";
        QTest::newRow("Windows-1252") << QByteArray("[CHEMINS]\r\nModele=/srv/Mod\xe8les \x95 \xa3\r\n") << "chemins" << "modele" << "/srv/Modèles • £";
        QTest::newRow("UTF-8") << QByteArray("[CHEMINS]\nModele=/srv/Mod\xc3\xa8les\n") << "CHEMINS" << "Modele" << "/srv/Modèles";
        QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF[CNX]\nHost=a\n") << "CNX" << "Host" << "a";
        QTest::newRow("UTF-16 byte-order mark") << QByteArray("\xFF\xFE[\0C\0]\0\r\0\n\0K\0=\0\xE9\0", 18) << "c" << "k" << "é";
        QTest::newRow("accented names") << QByteArray("[Modèles]\nCLÉ=v\n") << "MODÈLES" << "clé" << "v";
    }
    void profileRules()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        platform::IniFile file;
        file.loadBytes(bytes(content));
        QCOMPARE(utf8(file.readString(section.toStdString(), key.toStdString())), expected);
    }

    void defaultForMissingKeysOnly()
    {
        platform::IniFile file;
        file.loadBytes("[C]\nEmpty=\n");
        QCOMPARE(file.readString("C", "Empty", "d"), std::string());
        QCOMPARE(file.readString("C", "Absent", "d"), std::string("d"));
    }

    void loadsFilesAndNamesThoseItCannotRead()
    {
        platform::IniFile file;
        std::string error;
        QVERIFY(file.load(QFINDTESTDATA("../fixtures/config/central/talvor.ini").toStdString(), error));
        QCOMPARE(utf8(file.readString("cnx", "Login")), QStringLiteral("SYSDBA"));
        QCOMPARE(utf8(file.readString("Chemins", "Modele")), QStringLiteral("/srv/talvor/modèles"));

        QTemporaryDir dir;
        const std::string missing = dir.path().toStdString() + "/absent.ini";
        QVERIFY(!file.load(missing, error));
        QVERIFY(error.starts_with("Impossible de lire le fichier <" + missing + "> : "));
        QCOMPARE(file.readString("cnx", "Login"), std::string()); // nothing left of the earlier file
        QVERIFY(!file.load(dir.path().toStdString(), error));
    }

    void decodesFileText_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ASCII") << QByteArray("abc") << "abc";
        QTest::newRow("UTF-8 kept") << QByteArray("\xc2\xa3 \xc3\xa9 \xe2\x80\xa2 \xf0\x9f\x99\x82") << "£ é • 🙂";
        QTest::newRow("Windows-1252") << QByteArray("\x80 \x95 \xa3 \xa4 \x8c \x9c \xe9") << "€ • £ ¤ Œ œ é";
        QTest::newRow("unassigned Windows-1252 bytes") << QByteArray("\x81\x8d") << QStringLiteral("\u0081\u008d");
        QTest::newRow("valid UTF-8 then one stray byte") << QByteArray("\xc3\xa9\xe9") << "Ã©é";
        QTest::newRow("overlong UTF-8 is not UTF-8") << QByteArray("\xc0\xaf") << "À¯";
        QTest::newRow("encoded surrogate is not UTF-8") << QByteArray("\xed\xa0\x80") << "í\u00a0€";
        QTest::newRow("UTF-8 byte-order mark dropped") << QByteArray("\xef\xbb\xbf\xc3\xa9") << "é";
        QTest::newRow("UTF-16LE with a surrogate pair") << QByteArray("\xff\xfe\xe9\x00\x3d\xd8\x42\xde", 8) << "é🙂";
        QTest::newRow("UTF-16BE") << QByteArray("\xfe\xff\x00\xe9\x20\xac", 6) << "é€";
        QTest::newRow("UTF-16 unpaired surrogate") << QByteArray("\xff\xfe\x3d\xd8\x41\x00", 6) << "\ufffdA";
    }
    void decodesFileText()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QCOMPARE(utf8(platform::decodeTextFile(bytes(content))), expected);
    }

    void foldsNamesForComparison()
    {
        QCOMPARE(platform::foldCase("Software\\KELDAR"), std::string("software\\keldar"));
        QCOMPARE(utf8(platform::foldCase("ÉCOLE ŒUVRE Ÿ Š Ž ×")), QStringLiteral("école œuvre ÿ š ž ×"));
        QCOMPARE(platform::foldCase("\xE9t\xE9"), std::string("\xE9t\xE9")); // not UTF-8: left as it is
    }
};

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
