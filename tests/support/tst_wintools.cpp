// Unit and GUI tests of WinTools and MsgBox: integer rules, null-tolerant readers,
// list records, rich-text loading, the splitter, the version text, the raw command line
// and its keyed scanner, the message-box style and title, and the real modal box.
#include "support/StrMan.h"
#include "support/WinTools.h"
#include "testsupport/ScriptedMessages.h"
#include "testsupport/TestProcessStrings.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

class TstWinTools : public QObject {
    Q_OBJECT

    TestProcessStrings strings;

private slots:
    void strToInt_data();
    void strToInt();
    void nullReaders();
    void listItemData();
    void loadRichText();
    void splitText_data();
    void splitText();
    void versionText();
    void rawCommandLine_data();
    void rawCommandLine();
    void getParamValue_data();
    void getParamValue();
    void hasParam_data();
    void hasParam();
    void msgBoxStyle_data();
    void msgBoxStyle();
    void msgBoxThroughSeam();
    void realMessageBox();
};

void TstWinTools::strToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "12" << true << 12;
    QTest::newRow("leading blanks") << "  12" << true << 12;
    QTest::newRow("plus") << "+7" << true << 7;
    QTest::newRow("minimum") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("maximum") << "2147483647" << true << 2147483647;
    QTest::newRow("above maximum") << "2147483648" << false << 0;
    QTest::newRow("below minimum") << "-2147483649" << false << 0;
    QTest::newRow("dollar hex") << "$FF" << true << 255;
    QTest::newRow("0x hex") << "0x1f" << true << 31;
    QTest::newRow("0X hex") << "-0X10" << true << -16;
    QTest::newRow("hex all bits") << "$FFFFFFFF" << true << -1;
    QTest::newRow("hex 33 bits") << "$100000000" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("trailing blank") << "12 " << false << 0;
    QTest::newRow("leading tab") << "\t12" << false << 0;
    QTest::newRow("inner blank") << "1 2" << false << 0;
    QTest::newRow("blank after sign") << "- 2" << false << 0;
    QTest::newRow("letters") << "12a" << false << 0;
    QTest::newRow("dollar alone") << "$" << false << 0;
    QTest::newRow("0x alone") << "0x" << false << 0;
    QTest::newRow("decimal point") << "1.5" << false << 0;
    QTest::newRow("arabic-indic digit") << "\xd9\xa3" << false << 0;
}

void TstWinTools::strToInt()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    QCOMPARE(IsInteger(text), valid);
    QCOMPARE(StrToIntDef(text, -77), valid ? value : -77);
}

void TstWinTools::nullReaders()
{
    QCOMPARE(NullToStr(QVariant(), QStringLiteral("défaut")), QStringLiteral("défaut"));
    QCOMPARE(NullToStr(QVariant(QMetaType::fromType<QString>()), QStringLiteral("d")), QStringLiteral("d"));
    QCOMPARE(NullToStr(QVariant(QStringLiteral("Cœur"))), QStringLiteral("Cœur"));
    QCOMPARE(NullToStr(QVariant(12)), QStringLiteral("12"));

    QCOMPARE(NullToInt(QVariant(), 5), 5);
    QCOMPARE(NullToInt(QVariant(QMetaType::fromType<int>()), 5), 5);
    QCOMPARE(NullToInt(QVariant(-12)), -12);
    QCOMPARE(NullToInt(QVariant(qlonglong(40000))), 40000);
    QCOMPARE(NullToInt(QVariant(QStringLiteral(" 42   "))), 42); // blank-padded CHAR column
    QCOMPARE(NullToInt(QVariant(2.5)), 2);
    QCOMPARE(NullToInt(QVariant(true)), -1);

    const auto failure = [](const QVariant &value) {
        try {
            NullToInt(value);
        } catch (const EScrivoError &error) {
            return error.Message();
        }
        return QStringLiteral("<nothing raised>");
    };
    QCOMPARE(failure(QVariant(QStringLiteral("abc"))), QStringLiteral("'abc' n'est pas une valeur entière correcte"));
    QCOMPARE(failure(QVariant(qlonglong(3000000000LL))),
             QStringLiteral("'3000000000' n'est pas une valeur entière correcte"));
    QCOMPARE(failure(QVariant(1e12)), QStringLiteral("'1e+12' n'est pas une valeur entière correcte"));
}

void TstWinTools::listItemData()
{
    // A record's block shares `probe` while the record lives: the probe is detached again
    // exactly when the record is freed.
    const QByteArray probe("bloc de la question");
    QTreeWidget view;
    auto *first = new QTreeWidgetItem(&view, {QStringLiteral("Q1")});
    auto *child = new QTreeWidgetItem(first, {QStringLiteral("Q1.1")});
    new QTreeWidgetItem(&view, {QStringLiteral("sans donnée")});

    TListItemData *data = NewListItemData();
    QCOMPARE(data->Value, 0);
    QVERIFY(data->Block.isEmpty());
    data->Value = 17;
    data->Block = probe;
    SetListItemData(first, data);
    QCOMPARE(ListItemData(first), data);
    QCOMPARE(ListItemData(first)->Value, 17);

    TListItemData *replaced = NewListItemData();
    SetListItemData(first, replaced);
    QVERIFY2(probe.isDetached(), "the record replaced on an item must be freed");

    TListItemData *nested = NewListItemData();
    nested->Block = probe;
    SetListItemData(child, nested);
    QVERIFY(!probe.isDetached());

    ClearListView(&view);
    QCOMPARE(view.topLevelItemCount(), 0);
    QVERIFY2(probe.isDetached(), "ClearListView must free the records of nested items too");
}

void TstWinTools::loadRichText()
{
    for (const bool restricted : {true, false}) {
        QTextEdit edit;
        edit.setReadOnly(restricted);
        edit.setAcceptRichText(!restricted);
        edit.setHtml(QStringLiteral("<b>ancien</b>"));

        LoadRichText(&edit, QStringLiteral("Erreur <b>SQL</b>\r\nFunc: TCX.Lire\nClass: TCX\r\n"));
        QCOMPARE(edit.toPlainText(), QStringLiteral("Erreur <b>SQL</b>\nFunc: TCX.Lire\nClass: TCX"));
        QCOMPARE(edit.document()->blockCount(), 3);
        QCOMPARE(edit.isReadOnly(), restricted);
        QCOMPARE(edit.acceptRichText(), !restricted);
    }
}

void TstWinTools::splitText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("separators");
    QTest::addColumn<bool>("collapse");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("plain") << "a;b;c" << ";" << false << false << QStringList{"a", "b", "c"};
    QTest::newRow("trailing separator kept") << "a;b;" << ";" << false << false << QStringList{"a", "b", ""};
    QTest::newRow("trailing separator dropped") << "a;b;" << ";" << false << true << QStringList{"a", "b"};
    QTest::newRow("blank entries dropped") << "a;;\t; ;" << ";" << false << true << QStringList{"a"};
    QTest::newRow("inner empty kept when dropping") << "a;;b;" << ";" << false << true
                                                    << QStringList{"a", "", "b"};
    QTest::newRow("several separators") << "a;b|c" << ";|" << false << false << QStringList{"a", "b", "c"};
    QTest::newRow("collapse") << " a \t x ;b\r\n" << ";" << true << false << QStringList{"a x", "b"};
    QTest::newRow("blank tail collapsed away") << "a;  " << ";" << true << false << QStringList{"a"};
    QTest::newRow("blank tail kept raw") << "a;  " << ";" << false << false << QStringList{"a", "  "};
    QTest::newRow("blank tail dropped raw") << "a;  " << ";" << false << true << QStringList{"a"};
    QTest::newRow("separator only") << ";" << ";" << false << false << QStringList{"", ""};
    QTest::newRow("empty") << "" << ";" << false << false << QStringList{};
}

void TstWinTools::splitText()
{
    QFETCH(QString, text);
    QFETCH(QString, separators);
    QFETCH(bool, collapse);
    QFETCH(bool, drop);
    QFETCH(QStringList, expected);
    QStringList list{QStringLiteral("ancienne entrée")};
    SplitText(text, separators, list, collapse, drop);
    QCOMPARE(list, expected);
}

void TstWinTools::versionText()
{
    const QString expected = QStringLiteral("%1.%2 rév %3.%4")
                                 .arg(SCRIVO_VERSION_MAJOR)
                                 .arg(SCRIVO_VERSION_MINOR)
                                 .arg(SCRIVO_VERSION_RELEASE)
                                 .arg(SCRIVO_VERSION_BUILD);
    QCOMPARE(VersionText(true), expected);
    QVERIFY(VersionText(true).startsWith(QStringLiteral("6.0 rév ")));
    QCOMPARE(VersionText(false), QString(expected).replace(QStringLiteral(" rév "), QStringLiteral(".")));
}

void TstWinTools::rawCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain") << QStringList{"/usr/bin/scrivo", "/docs/lettre.odt", "-wp:ordo"}
                           << "/usr/bin/scrivo /docs/lettre.odt -wp:ordo";
    QTest::newRow("pf with blanks") << QStringList{"scrivo", "/mes docs/lettre.odt", "-pf=/a b/v.txt"}
                                    << "scrivo \"/mes docs/lettre.odt\" -pf=\"/a b/v.txt\"";
    QTest::newRow("app title") << QStringList{"scrivo", "-app=Sans titre - Mousepad"}
                               << "scrivo -app=\"Sans titre - Mousepad\"";
    QTest::newRow("= after blank") << QStringList{"scrivo", "a b=c.odt"} << "scrivo \"a b=c.odt\"";
    QTest::newRow("empty argument") << QStringList{"scrivo", ""} << "scrivo \"\"";
}

void TstWinTools::rawCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    QCOMPARE(RawCommandLine(arguments), expected);
}

void TstWinTools::getParamValue_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");
    QTest::newRow("wp colon") << "scrivo /d/l.odt -wp:modele" << "wp" << "" << ":" << "modele";
    QTest::newRow("wp equals") << "scrivo /d/l.odt -wp=modele" << "wp" << "" << ":" << "modele";
    QTest::newRow("capital M kept") << "scrivo /d/l.odt -WP:Modele" << "wp" << "" << ":" << "Modele";
    QTest::newRow("cut at next prefix") << "scrivo /d/l.odt -wp:ordo -pf=/v.txt" << "wp" << "" << ":" << "ordo";
    QTest::newRow("blanks before next prefix kept") << "scrivo -wp:ordo  -pf=x" << "wp" << "" << ":" << "ordo ";
    QTest::newRow("pf quoted with blanks") << "scrivo /d/l.odt -pf=\"/a b/v.txt\"" << "pf" << "" << "="
                                           << "\"/a b/v.txt\"";
    QTest::newRow("pf quoted, ' - ' inside taken") << "scrivo /d/l.odt -pf=\"/a -b/v.txt\" -wp:ordo" << "pf" << "" << "="
                                                  << "\"/a -b/v.txt\"";
    QTest::newRow("pf unquoted, cut at inner ' -'") << "scrivo /d/l.odt -pf=/a -b/v.txt" << "pf" << "" << "=" << "/a";
    QTest::newRow("pf quote never closed") << "scrivo -pf=\"/a -b" << "pf" << "" << "=" << "\"/a";
    QTest::newRow("pf last word") << "scrivo /d/l.odt -pf" << "pf" << "" << "=" << "";
    QTest::newRow("pf last word keeps default") << "scrivo /d/l.odt -pf" << "pf" << "déf" << "=" << "déf";
    QTest::newRow("key absent") << "scrivo /d/l.odt -wp:ordo" << "pf" << "déf" << "=" << "déf";
    QTest::newRow("key at very start") << "-wp:ordo" << "wp" << "" << ":" << "ordo";
    QTest::newRow("next prefix at once") << "scrivo -wp -pf=x" << "wp" << "déf" << ":" << "";
    QTest::newRow("first occurrence") << "scrivo -wp:a -wp:b" << "wp" << "" << ":" << "a";
    QTest::newRow("accented key") << "scrivo -CLÉ=Été" << "clé" << "" << "=" << "Été";
    QTest::newRow("no blank before dash") << "scrivo/x-wp:ordo" << "wp" << "déf" << ":" << "déf";
}

void TstWinTools::getParamValue()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(QString, separator);
    QFETCH(QString, expected);
    QCOMPARE(GetParamValue(commandLine, key, defaultValue, separator, QStringLiteral(" -")), expected);
}

void TstWinTools::hasParam_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<bool>("expected");
    QTest::newRow("with separator") << "scrivo /d/l.odt -pf=/v.txt" << "pf" << "=" << true;
    QTest::newRow("other case") << "scrivo /d/l.odt -PF=/v.txt" << "pf" << "=" << true;
    QTest::newRow("last word") << "scrivo /d/l.odt -pf" << "pf" << "=" << true;
    QTest::newRow("followed by blank") << "scrivo /d/l.odt -pf -wp:ordo" << "pf" << "=" << true;
    QTest::newRow("absent") << "scrivo /d/l.odt -wp:ordo" << "pf" << "=" << false;
    QTest::newRow("longer key") << "scrivo /d/l.odt -pfx=1" << "pf" << "=" << false;
    QTest::newRow("other separator") << "scrivo /d/l.odt -pf:x" << "pf" << "=" << false;
    QTest::newRow("only first occurrence ends the text") << "scrivo -pfx -pf" << "pf" << "=" << false;
    QTest::newRow("accented key") << "scrivo -CLÉ" << "clé" << "=" << true;
}

void TstWinTools::hasParam()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, key);
    QFETCH(QString, separator);
    QFETCH(bool, expected);
    QCOMPARE(HasParam(commandLine, key, QStringLiteral(" -"), separator), expected);
}

void TstWinTools::msgBoxStyle_data()
{
    QTest::addColumn<int>("flags");
    QTest::addColumn<int>("style");
    QTest::newRow("OK") << 1 << 0x0;
    QTest::newRow("148: Yes/No, Yes default, warning") << 148 << 0x34;
    QTest::newRow("later button bit wins") << (0x2 + 0x4) << 0x4;
    QTest::newRow("OK/Cancel") << 0x2 << 0x1;
    QTest::newRow("Yes/No/Cancel over OK") << (0x1 + 0x8) << 0x3;
    QTest::newRow("second default, error") << (0x4 + 0x20 + 0x200) << 0x114;
    QTest::newRow("third default, question") << (0x8 + 0x40 + 0x800) << 0x223;
    QTest::newRow("information") << (0x1 + 0x400) << 0x40;
    QTest::newRow("bit 0x100 meaningless") << 0x100 << 0x0;
}

void TstWinTools::msgBoxStyle()
{
    QFETCH(int, flags);
    QFETCH(int, style);
    QCOMPARE(MsgBoxStyle(flags), style);
}

void TstWinTools::msgBoxThroughSeam()
{
    ScriptedMessages messages;
    messages.enqueueButton(idNo);
    QApplication::setOverrideCursor(Qt::WaitCursor);

    QCOMPARE(MsgBox(nullptr, QStringLiteral("Voulez-vous retentez la connexion ?"), QStringLiteral("*APP*"), 148),
             int(idNo));
    QVERIFY2(!QApplication::overrideCursor(), "a busy cursor must give way to the arrow");
    QCOMPARE(MsgBox(nullptr, QStringLiteral("Fin"), QStringLiteral("attention"), 1), int(idOk));

    QCOMPARE(messages.requests().size(), 2);
    QCOMPARE(messages.requests()[0].text, QStringLiteral("Voulez-vous retentez la connexion ?"));
    QCOMPARE(messages.requests()[0].title, QStringLiteral("Tst_wintools"));
    QCOMPARE(messages.requests()[0].flags, 148);
    QCOMPARE(messages.requests()[1].title, QStringLiteral("attention"));
}

void TstWinTools::realMessageBox()
{
    int buttonCount = -1;
    QString defaultCaption;
    QMessageBox::ButtonRole defaultRole = QMessageBox::InvalidRole;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    bool closedByForce = false;

    QTimer poll;
    poll.setInterval(10);
    int ticks = 0;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            if (++ticks > 500)
                poll.stop(); // MsgBox never showed a box: the assertions below fail
            return;
        }
        if (buttonCount < 0) {
            buttonCount = int(box->buttons().size());
            if (QPushButton *byDefault = box->defaultButton()) {
                defaultCaption = byDefault->text();
                defaultRole = box->buttonRole(byDefault);
            }
            icon = box->icon();
            title = box->windowTitle();
            QTest::keyClick(box, Qt::Key_Return);
        } else if (++ticks > 200) {
            closedByForce = true; // Enter did not close it: never leave the test blocked
            box->done(0);
        }
    });
    poll.start();

    const int result = MsgBox(nullptr, QStringLiteral("Impossible de se connecter à la base de donnée."),
                              QStringLiteral("Scrivo"), 148);
    poll.stop();

    QVERIFY(!closedByForce);
    QCOMPARE(buttonCount, 2);
    QCOMPARE(defaultRole, QMessageBox::YesRole);
    QCOMPARE(defaultCaption, QStringLiteral("&Oui"));
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(title, QStringLiteral("Scrivo"));
    QCOMPARE(result, int(idYes));
}

QTEST_MAIN(TstWinTools)
#include "tst_wintools.moc"
