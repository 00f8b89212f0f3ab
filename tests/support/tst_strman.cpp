// Unit tests of the string manager (StrMan): extraction at the edges, case-insensitive
// search with accented letters, blank handling, replacement and the error trail.
#include "support/StrMan.h"
#include "testsupport/TestProcessStrings.h"

#include <QTest>

#include <functional>
#include <stdexcept>

class TstStrMan : public QObject {
    Q_OBJECT

    TestProcessStrings strings;

private slots:
    void extraction_data();
    void extraction();
    void search_data();
    void search();
    void afterBefore_data();
    void afterBefore();
    void blanks_data();
    void blanks();
    void caseMapping();
    void prefixes();
    void replace_data();
    void replace();
    void raiseWithoutHandledError();
    void raiseNestedTwice();
    void raiseOverForeignError();
    void raiseTagsWithBlanks();
};

void TstStrMan::extraction_data()
{
    QTest::addColumn<QString>("op");
    QTest::addColumn<QString>("s");
    QTest::addColumn<int>("n");
    QTest::addColumn<QString>("expected");
    QTest::newRow("left") << "Left" << "abcdef" << 2 << "ab";
    QTest::newRow("left longer") << "Left" << "abc" << 10 << "abc";
    QTest::newRow("left zero") << "Left" << "abc" << 0 << "";
    QTest::newRow("right") << "Right" << "abcdef" << 2 << "ef";
    QTest::newRow("right longer") << "Right" << "abc" << 10 << "abc";
    QTest::newRow("right negative") << "Right" << "abc" << -2 << "";
    QTest::newRow("midfrom") << "MidFrom" << "-app=Mousepad" << 6 << "Mousepad";
    QTest::newRow("midfrom zero") << "MidFrom" << "abc" << 0 << "abc";
    QTest::newRow("midfrom past end") << "MidFrom" << "abc" << 4 << "";
}

void TstStrMan::extraction()
{
    QFETCH(QString, op);
    QFETCH(QString, s);
    QFETCH(int, n);
    QFETCH(QString, expected);
    const QString actual = op == u"Left"    ? StringManager->Left(s, n)
                           : op == u"Right" ? StringManager->Right(s, n)
                                            : StringManager->MidFrom(s, n);
    QCOMPARE(actual, expected);
}

void TstStrMan::search_data()
{
    QTest::addColumn<QString>("sub");
    QTest::addColumn<QString>("s");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("exact");
    QTest::addColumn<int>("text");
    QTest::newRow("first") << "b" << "abcb" << 1 << 2 << 2;
    QTest::newRow("from start") << "b" << "abcb" << 3 << 4 << 4;
    QTest::newRow("start zero") << "a" << "abc" << 0 << 1 << 1;
    QTest::newRow("start negative") << "a" << "abc" << -5 << 1 << 1;
    QTest::newRow("start beyond") << "c" << "abc" << 4 << 0 << 0;
    QTest::newRow("empty sub") << "" << "abc" << 1 << 0 << 0;
    QTest::newRow("case") << "B" << "abcB" << 1 << 4 << 2;
    QTest::newRow("accent É é") << "été" << "L'ÉTÉ" << 1 << 0 << 3;
    QTest::newRow("œ Œ") << "Œuf" << "un œuf" << 1 << 0 << 4;
    QTest::newRow("sub longer") << "abcd" << "abc" << 1 << 0 << 0;
}

void TstStrMan::search()
{
    QFETCH(QString, sub);
    QFETCH(QString, s);
    QFETCH(int, start);
    QFETCH(int, exact);
    QFETCH(int, text);
    QCOMPARE(StringManager->PosFrom(sub, s, start), exact);
    QCOMPARE(StringManager->PosFromText(sub, s, start), text);
}

void TstStrMan::afterBefore_data()
{
    QTest::addColumn<QString>("sub");
    QTest::addColumn<QString>("s");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("before");
    QTest::newRow("first =") << "=" << "-pf=a=b" << 1 << "a=b" << "-pf";
    QTest::newRow("no =") << "=" << "-pf" << 1 << "" << "-pf";
    QTest::newRow("no dot") << "." << "rapport" << 1 << "" << "rapport";
    QTest::newRow("dot") << "." << "rapport.odt" << 1 << "odt" << "rapport";
    QTest::newRow("from start") << "." << "a.b.c" << 3 << "c" << "a.b";
    QTest::newRow("at end") << "=" << "abc=" << 1 << "" << "abc";
}

void TstStrMan::afterBefore()
{
    QFETCH(QString, sub);
    QFETCH(QString, s);
    QFETCH(int, start);
    QFETCH(QString, after);
    QFETCH(QString, before);
    QCOMPARE(StringManager->After(sub, s, start), after);
    QCOMPARE(StringManager->Before(sub, s, start), before);
}

void TstStrMan::blanks_data()
{
    QTest::addColumn<QString>("s");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("trimmed");
    QTest::addColumn<QString>("collapsed");
    QTest::newRow("plain") << "  a  b  " << false << "a  b" << "a b";
    QTest::newRow("tabs and breaks") << "\t\r\nnom\t \r\n  prénom\x01" << false << "nom\t \r\n  prénom"
                                     << "nom prénom";
    QTest::newRow("control inside") << "a\x1f\x02" "b" << false << "a\x1f\x02" "b" << "a b";
    QTest::newRow("only blanks") << " \t\r\n " << false << "" << "";
    QTest::newRow("upper accents") << " été  œuf " << true << "ÉTÉ  ŒUF" << "ÉTÉ ŒUF";
    QTest::newRow("non-breaking space kept") << QStringLiteral("a\u00a0b ") << false << QStringLiteral("a\u00a0b")
                                             << QStringLiteral("a\u00a0b");
}

void TstStrMan::blanks()
{
    QFETCH(QString, s);
    QFETCH(bool, upper);
    QFETCH(QString, trimmed);
    QFETCH(QString, collapsed);
    QCOMPARE(StringManager->TrimBlank(s, upper), trimmed);
    QCOMPARE(StringManager->CollapseBlanks(s, upper), collapsed);
}

void TstStrMan::caseMapping()
{
    QCOMPARE(StringManager->Lower(QStringLiteral("-WP=MODELE Œ É À Ç")), QStringLiteral("-wp=modele œ é à ç"));
    QCOMPARE(StringManager->UpperChar(u'é'), QChar(u'É'));
    QCOMPARE(StringManager->LowerChar(u'É'), QChar(u'é'));
    QCOMPARE(StringManager->ReplaceChar(u'é', u'e', QStringLiteral("Été éte"), true), QStringLiteral("ete ete"));
    QCOMPARE(StringManager->ReplaceChar(u'é', u'e', QStringLiteral("Été éte"), false), QStringLiteral("Éte ete"));
    QCOMPARE(StringManager->AfterText(QStringLiteral("é"), QStringLiteral("clÉ=valeur")), QStringLiteral("=valeur"));
}

void TstStrMan::prefixes()
{
    QVERIFY(StringManager->StartsWith(QStringLiteral("-APP="), QStringLiteral("-app=Doc"), true));
    QVERIFY(!StringManager->StartsWith(QStringLiteral("-APP="), QStringLiteral("-app=Doc"), false));
    QVERIFY(!StringManager->StartsWith(QStringLiteral("-app="), QStringLiteral("-app"), true));
    QCOMPARE(StringManager->RemovePrefix(QStringLiteral("ÉT"), QStringLiteral("été"), true), QStringLiteral("é"));
    QCOMPARE(StringManager->RemovePrefix(QStringLiteral("ÉT"), QStringLiteral("été"), false), QStringLiteral("été"));
}

void TstStrMan::replace_data()
{
    using SM = TStringManager;
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("s");
    QTest::addColumn<int>("options");
    QTest::addColumn<QString>("expected");
    QTest::newRow("registry message") << "%" << "Cnx" << "Impossible d'ouvrir la sous clé % de la table de registre"
                                      << int(SM::roNone)
                                      << "Impossible d'ouvrir la sous clé Cnx de la table de registre";
    QTest::newRow("replacement holds %") << "%" << "a%b%" << "x % y %" << int(SM::roNone) << "x a%b% y a%b%";
    QTest::newRow("replacement holds pattern") << "ab" << "xab" << "abab" << int(SM::roNone) << "xabxab";
    QTest::newRow("no overlap") << "aa" << "b" << "aaa" << int(SM::roNone) << "ba";
    QTest::newRow("empty pattern") << "" << "x" << "abc" << int(SM::roNone) << "abc";
    QTest::newRow("pattern longer") << "abcd" << "x" << "abc" << int(SM::roNone) << "abc";
    QTest::newRow("exact case") << "Clé" << "K" << "clé Clé" << int(SM::roNone) << "clé K";
    QTest::newRow("ignore case") << "CLÉ" << "K" << "clé Clé" << int(SM::roIgnoreCase) << "K K";
    QTest::newRow("whole word") << "or" << "OU" << "or, ford or" << int(SM::roWholeWord) << "OU, ford OU";
    QTest::newRow("keep case") << "nom" << "prénom" << "Nom NOM nom" << int(SM::roIgnoreCase | SM::roKeepCase)
                               << "Prénom PRÉnom prénom";
}

void TstStrMan::replace()
{
    QFETCH(QString, pattern);
    QFETCH(QString, replacement);
    QFETCH(QString, s);
    QFETCH(int, options);
    QFETCH(QString, expected);
    QCOMPARE(StringManager->Replace(pattern, replacement, s, options), expected);
}

namespace {

QString raisedMessage(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EScrivoError &error) {
        if (QString::fromUtf8(error.what()) != error.Message())
            return QStringLiteral("<what() differs from Message()>");
        return error.Message();
    }
    return QStringLiteral("<nothing raised>");
}

} // namespace

void TstStrMan::raiseWithoutHandledError()
{
    QCOMPARE(raisedMessage([] {
                 StringManager->RaiseWithContext(QStringLiteral("Table absente"),
                                                 QStringLiteral("  TCConnexion.TableExist "));
             }),
             QStringLiteral("Table absente\r\nFunc: TCConnexion.TableExist\r\n"));
    QCOMPARE(raisedMessage([] {
                 StringManager->RaiseWithContext(QStringLiteral("Échec"), QStringLiteral("TCMedecins.Charger"),
                                                 QStringLiteral("TCMedecins"));
             }),
             QStringLiteral("Échec\r\nFunc: TCMedecins.Charger\r\nClass: TCMedecins"));
    QCOMPARE(raisedMessage([] { StringManager->RaiseWithContext(QString(), QString()); }), QString());
}

void TstStrMan::raiseNestedTwice()
{
    const QString message = raisedMessage([] {
        try {
            try {
                StringManager->RaiseWithContext(QStringLiteral("Erreur SQL"), QStringLiteral("TCQuestion.Lire"),
                                                QStringLiteral("TCQuestion"));
            } catch (...) {
                StringManager->RaiseWithContext(QStringLiteral("Question illisible"),
                                                QStringLiteral("tcquestion.lire"), QStringLiteral("TCQuestions"));
            }
        } catch (...) {
            StringManager->RaiseWithContext(QStringLiteral("Chargement interrompu"),
                                            QStringLiteral("TCQuestions.Charger"), QStringLiteral("tcquestion"));
        }
    });
    QCOMPARE(message, QStringLiteral("Chargement interrompu\r\nQuestion illisible\r\nErreur SQL\r\n"
                                     "Func: TCQuestion.Lire,TCQuestions.Charger\r\n"
                                     "Class: TCQuestion,TCQuestions"));

    // Without an object the class line is left out, even when the handled error had one.
    const QString withoutObject = raisedMessage([] {
        try {
            StringManager->RaiseWithContext(QStringLiteral("A"), QStringLiteral("F1"), QStringLiteral("TCX"));
        } catch (...) {
            StringManager->RaiseWithContext(QStringLiteral("B"), QStringLiteral("F2"));
        }
    });
    QCOMPARE(withoutObject, QStringLiteral("B\r\nA\r\nFunc: F1,F2\r\n"));
}

void TstStrMan::raiseOverForeignError()
{
    const QString message = raisedMessage([] {
        try {
            throw std::runtime_error("Connexion perdue \xc3\xa0 la base\r\nSQLCODE -902");
        } catch (const std::exception &) {
            StringManager->RaiseWithContext(QStringLiteral("Lecture impossible"), QStringLiteral("TCConnexion.Open"),
                                            QStringLiteral("TCConnexion"));
        }
    });
    QCOMPARE(message, QStringLiteral("Lecture impossible\r\nConnexion perdue à la base\r\nSQLCODE -902\r\n"
                                     "Func: TCConnexion.Open\r\nClass: TCConnexion"));
}

void TstStrMan::raiseTagsWithBlanks()
{
    // Leading blanks are skipped and a blank run matches a blank run; "Func:" without a
    // blank, or in another case, is an ordinary line.
    const QString message = raisedMessage([] {
        try {
            throw EScrivoError(QStringLiteral("  Func:   F1 ,  F2\r\n\r\n   \r\nFunc:F3\r\nfunc: F4\r\n Class:\tTCA"));
        } catch (...) {
            StringManager->RaiseWithContext(QStringLiteral("Nouveau"), QStringLiteral("f2"), QStringLiteral("TCB"));
        }
    });
    QCOMPARE(message, QStringLiteral("Nouveau\r\nFunc:F3\r\nfunc: F4\r\nFunc: F1,F2\r\nClass: TCA,TCB"));
}

QTEST_GUILESS_MAIN(TstStrMan)
#include "tst_strman.moc"
