// Every picker hosted in the main window, on the practice fixture: at the default size no
// text of a label, link, radio or check is cut; every list chooses its entries alike; the
// keyboard alone reaches the controls in the order of the screen and works them; and a
// screen reader finds each control named, with its role and state, and can press links.
#include "config/COption.h"
#include "support/LumoRadio.h"
#include "support/LumoUrl.h"
#include "testsupport/AccessibleEvents.h"
#include "testsupport/ControlText.h"
#include "testsupport/HostedMainWindow.h"
#include "testsupport/LeftGlobals.h"
#include "testsupport/TestDatabases.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

QString FocusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void PressOnFocus(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

// The role a screen reader must announce for each kind of control.
QAccessible::Role RoleOfKind(const QWidget *control)
{
    if (qobject_cast<const TLumoUrl *>(control))
        return QAccessible::Link;
    if (auto *option = qobject_cast<const TLumoRadio *>(control))
        return option->ControlType() == iLumoRadio ? QAccessible::RadioButton : QAccessible::CheckBox;
    if (qobject_cast<const QCheckBox *>(control))
        return QAccessible::CheckBox;
    if (qobject_cast<const QPushButton *>(control))
        return QAccessible::Button;
    if (qobject_cast<const QComboBox *>(control))
        return QAccessible::ComboBox;
    if (qobject_cast<const QLineEdit *>(control))
        return QAccessible::EditableText;
    if (qobject_cast<const QTreeView *>(control))
        return QAccessible::Tree;
    if (qobject_cast<const QListView *>(control))
        return QAccessible::List;
    if (qobject_cast<const QGroupBox *>(control))
        return QAccessible::Grouping;
    return QAccessible::NoRole;
}

} // namespace

class TestPickerLayout : public QObject {
    Q_OBJECT

    std::unique_ptr<HostedMainWindow> host;
    std::unique_ptr<TCConnexion> connexion;

    TfScrivo *window() const { return host->window(); }
    QWidget *hosted() const { return host->hosted(); }
    // Hosts the picker of category button `button`, or the search (Ctrl+F) for "search".
    void choose(const QString &button) const
    {
        if (button == QLatin1String("search"))
            QTest::keyClick(window(), Qt::Key_F, Qt::ControlModifier);
        else
            window()->panelBouton->findChild<QAbstractButton *>(button)->click();
    }

private slots:
    void init()
    {
        host = std::make_unique<HostedMainWindow>();
        SCRIVO_SKIP_WITHOUT_ENGINE(FirebirdEngine);
        connexion = OpenTestConnexion(FirebirdEngine);
        QVERIFY(connexion);
        QVERIFY2(connexion->Connected(), qPrintable(connexion->LastServerMessage()));
        host->useConnexion(connexion.get());
        GlobaleOption->Charger();
        gReferences = new TCReferences(connexion.get());
        gMedecins = new TCMedecins(connexion.get());
        window()->FVariables = std::make_unique<QStringList>(QStringList{"NOM_PATIENT", "DATE_RDV"});
        window()->bVariable->show();
        window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window()));
    }
    void cleanup()
    {
        host.reset();
        FreeLeftGlobals();
        connexion.reset();
    }

    void noTextIsCut_data()
    {
        QTest::addColumn<QString>("button");
        for (const char *button : {"bSignalitique", "bCollateraux", "bQuestionnaire", "bAntecedent", "bOrdo",
                                   "bDivers", "bMedecin", "bCorresp", "bPmsi", "bVariable", "search"})
            QTest::newRow(button) << button;
    }
    void noTextIsCut()
    {
        QFETCH(QString, button);
        QCOMPARE(window()->size(), QSize(587, 377));
        choose(button);
        const QStringList faults = CutTexts(hosted());
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(", "))));
    }

    // Every picker's list chooses alike: the left button's double click on an entry, or
    // Enter on the current entry, selected or not, inserts its code; the list given the
    // focus has its first entry current; the other buttons, a double click beside the
    // entries and Enter with no current entry insert nothing.
    void listsChooseTheirEntries_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("questionnaire"); // selected first, for the questions list
        QTest::addColumn<int>("row");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("first"); // the code of the first entry
        const auto add = [](const char *button, const char *list, int row, Qt::Key key, const char *code,
                            const char *first, const char *questionnaire = "") {
            QTest::newRow(button) << button << list << QString::fromUtf8(questionnaire) << row << key
                                  << QString::fromUtf8(code) << QString::fromUtf8(first);
        };
        add("bSignalitique", "tvSig", 1, Qt::Key_Return, "£[SG : Conjoint]#", "£[SG : Patient]#");
        add("bCollateraux", "lstCol", 4, Qt::Key_Enter, "£SAT : CodePostal#", "£SAT : Nom#");
        add("bQuestionnaire", "lvQon", 1, Qt::Key_Return, "£[QQD101 : Tension artérielle systolique (mmHg)]#",
            "£[QQD109 : Poids (kg)]#", "Bilan cardio-vasculaire");
        add("bAntecedent", "lstATCD", 2, Qt::Key_Enter, "£[ATC3 : Familiaux]#", "£[ATC4 : Allergies £ intolérances]#");
        add("bMedecin", "lstCodes", 2, Qt::Key_Return, "£[MR : prenom]#", "£[MR : code medecin]#");
        add("bCorresp", "lstCode", 3, Qt::Key_Enter, "£[CX : code postal]#", "£[CX : nom]#");
        add("bPmsi", "lstChamps", 6, Qt::Key_Return, "£PMC:nb_sceance#", "£PMC:nom#");
        add("bVariable", "lvVar", 1, Qt::Key_Enter, "£[VAR :DATE_RDV ]#", "£[VAR :NOM_PATIENT ]#");
    }
    void listsChooseTheirEntries()
    {
        QFETCH(QString, button);
        QFETCH(QString, list);
        QFETCH(QString, questionnaire);
        QFETCH(int, row);
        QFETCH(Qt::Key, key);
        QFETCH(QString, code);
        QFETCH(QString, first);
        window()->resize(700, 700); // room below the last entry
        window()->panelBouton->findChild<QAbstractButton *>(button)->click();
        if (!questionnaire.isEmpty()) {
            auto *questionnaires = hosted()->findChild<QTreeWidget *>(QStringLiteral("lvQre"));
            questionnaires->setCurrentItem(questionnaires->findItems(questionnaire, Qt::MatchExactly).value(0));
        }
        auto *view = hosted()->findChild<QAbstractItemView *>(list);
        QVERIFY(view);
        const QModelIndex entry = view->model()->index(row, 0);
        QVERIFY(entry.isValid());
        const QPoint beside = host->besideTheEntries(view);
        QVERIFY(!beside.isNull());

        view->setFocus();
        QCOMPARE(host->press(view, key), first);
        // No current entry: nothing.
        view->selectionModel()->clear();
        QCOMPARE(host->doubleClickAt(view, beside), QString());
        QCOMPARE(host->press(view, key), QString());

        // A click selects the entry; only the left button's double click chooses it.
        const QPoint onEntry = view->visualRect(entry).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, onEntry);
        QVERIFY(view->selectionModel()->isSelected(entry));
        for (const Qt::MouseButton other : {Qt::RightButton, Qt::MiddleButton})
            QCOMPARE(host->doubleClickAt(view, onEntry, other), QString());
        QCOMPARE(host->chooseRow(view, row), code);
        QCOMPARE(host->press(view, key), code);

        // Beside the entries, the double click unselects the entry but leaves it current.
        QCOMPARE(host->doubleClickAt(view, beside), QString());
        QVERIFY(!view->selectionModel()->hasSelection());
        QCOMPARE(view->currentIndex(), entry);
        QCOMPARE(host->press(view, key), code);
        QCOMPARE(host->messages().texts(), QStringList());
    }

    // Alt and a category's letter take the keyboard into its picker; Tab runs through the
    // picker in reading order, then down the category buttons and back into the picker.
    void tabFollowsTheScreen_data()
    {
        QTest::addColumn<Qt::Key>("letter");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("divers") << Qt::Key_D
                                << QStringList{"urlDateJour", "urlMaintenant", "urlGlossaire", "urlO1", "urlO2",
                                               "urlO3", "urlQuestionZC", "urlQuestionZN", "urlQuestionZD", "urlDDO",
                                               "urlDCO", "urlSASA", "urlSaDdr", "urlSaDdg", "utlNoPage", "urlNbPage",
                                               "urlRctDate", "urlRctDates", "urlRctActes", "urlRctMontants",
                                               "urlDDC", "urlDDS"};
        QTest::newRow("questionnaires")
            << Qt::Key_Q
            << QStringList{"chkHidden", "lvQre", "lvQon", "urlQE", "chkInclure", "chkRemplacement", "chkMnemonique",
                           "rdDernier", "rdAChoisir", "rdResume", "rdQSD", "urlInsererTout"};
        QTest::newRow("antécédents")
            << Qt::Key_A
            << QStringList{"lstATCD", "urlNomOui", "urlNomNon", "radioATC", "urlRetourOui", "urlRetourNon", "radioATD",
                           "urlDateOui", "urlDateNon", "urlColonne", "urlTousAvec", "urlLigne", "urlTousSans",
                           "urlAllergiesCommentaires", "urlAllergiesSans"};
        QTest::newRow("médecins") << Qt::Key_M << QStringList{"lstCodes", "radioMedecin", "radioUser"};
    }
    void tabFollowsTheScreen()
    {
        QFETCH(Qt::Key, letter);
        QFETCH(QStringList, order);
        QTest::keyClick(window(), letter, Qt::AltModifier);
        QTRY_COMPARE(FocusName(), order.first());
        QStringList visited{order.first()};
        for (int i = 1; i < order.size() + 12; ++i) {
            PressOnFocus(Qt::Key_Tab);
            visited << FocusName();
        }
        const QStringList buttons{"bSignalitique", "bCollateraux", "bQuestionnaire", "bAntecedent", "bOrdo",
                                  "bDivers", "bMedecin", "bCorresp", "bPmsi", "bVariable", "bFold"};
        QCOMPARE(visited, order + buttons + QStringList{order.first()});
    }

    // What a screen reader meets in the main window and in each picker: every control that
    // takes the focus, and every group box, named and with the role of its kind; a control
    // that the keyboard reaches says so; a radio or check box reports its checked state as
    // Space and the pointer change it, and announces the change, the radio it unchecks too;
    // "press" on a link inserts what its click does. The questionnaire picker's block link
    // takes the chosen questionnaire's number into its caption, and announces its new name.
    void controlsDescribeThemselves_data()
    {
        QTest::addColumn<QString>("button"); // none: the main window's own controls
        QTest::addColumn<QString>("questionnaire");
        QTest::newRow("main window") << QString() << QString();
        for (const char *button : {"bSignalitique", "bCollateraux", "bAntecedent", "bOrdo", "bDivers", "bMedecin",
                                   "bCorresp", "bPmsi", "bVariable", "search"})
            QTest::newRow(button) << button << QString();
        QTest::newRow("bQuestionnaire") << "bQuestionnaire" << "Bilan cardio-vasculaire";
    }
    void controlsDescribeThemselves()
    {
        QFETCH(QString, button);
        QFETCH(QString, questionnaire);
        AccessibleEvents events;
        if (!button.isEmpty())
            choose(button);
        QWidget *scope = button.isEmpty() ? static_cast<QWidget *>(window()) : hosted();
        if (!questionnaire.isEmpty()) {
            auto *questionnaires = scope->findChild<QTreeWidget *>(QStringLiteral("lvQre"));
            questionnaires->setCurrentItem(questionnaires->findItems(questionnaire, Qt::MatchExactly).value(0));
            auto *block = scope->findChild<TLumoUrl *>(QStringLiteral("urlQB"));
            QVERIFY(events.announced(block, QAccessible::NameChanged));
            QCOMPARE(AccessibleOf(block)->text(QAccessible::Name), QStringLiteral("Insérer £QB7#"));
        }
        // A link that asks a question first gets an answer.
        const auto inserted = [this](const std::function<void()> &action) {
            host->messages().clear();
            QString code = host->insertedBy(action);
            if (code.isNull() && !host->messages().requests().isEmpty()) {
                host->messages().enqueueText(QStringLiteral("Poids"));
                code = host->insertedBy(action);
            }
            return code;
        };

        int described = 0;
        for (QWidget *control : scope->findChildren<QWidget *>()) {
            const bool focusable = control->focusPolicy() & Qt::TabFocus;
            if (!control->isVisible() || !control->isEnabled() || (!focusable && !qobject_cast<QGroupBox *>(control)))
                continue;
            ++described;
            const QByteArray objectName = control->objectName().toUtf8();
            const char *what = objectName.constData();
            QAccessibleInterface *accessible = AccessibleOf(control);
            QVERIFY2(!accessible->text(QAccessible::Name).trimmed().isEmpty(), what);
            QVERIFY2(accessible->role() == RoleOfKind(control), what);
            if (focusable) {
                control->clearFocus();
                events.clear();
                control->setFocus(Qt::TabFocusReason);
                QVERIFY2(accessible->state().focused, what);
                QVERIFY2(events.announced(control, QAccessible::Focus), what);
            }
            if (auto *link = qobject_cast<TLumoUrl *>(control)) {
                QCOMPARE(accessible->text(QAccessible::Name), link->Caption());
                QCOMPARE(accessible->text(QAccessible::Description), link->toolTip());
                QAccessibleActionInterface *actions = accessible->actionInterface();
                QVERIFY2(actions->actionNames().contains(QAccessibleActionInterface::pressAction()), what);
                const QString clicked = inserted([link] { QTest::mouseClick(link, Qt::LeftButton); });
                QVERIFY2(!clicked.isEmpty(), what);
                QCOMPARE(inserted([&] {
                    actions->doAction(QAccessibleActionInterface::pressAction());
                    QCoreApplication::sendPostedEvents(link, QEvent::MetaCall);
                }), clicked);
            }
            if (auto *option = qobject_cast<TLumoRadio *>(control)) {
                QCOMPARE(accessible->text(QAccessible::Name), option->Caption());
                QVERIFY2(accessible->state().checkable, what);
                QVERIFY2(accessible->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()), what);
                const bool radio = option->ControlType() == iLumoRadio;
                for (const bool byKey : {true, false}) {
                    TLumoRadio *checkedBefore = nullptr;
                    for (TLumoRadio *sibling : option->parentWidget()->findChildren<TLumoRadio *>())
                        if (radio && sibling != option && sibling->Value())
                            checkedBefore = sibling;
                    const bool before = option->Value();
                    events.clear();
                    if (byKey)
                        QTest::keyClick(option, Qt::Key_Space);
                    else
                        QTest::mouseClick(option, Qt::LeftButton);
                    QCOMPARE(accessible->state().checked, radio || !before);
                    QCOMPARE(events.announcedChecked(option), accessible->state().checked != before);
                    if (checkedBefore) {
                        QVERIFY2(!AccessibleOf(checkedBefore)->state().checked, what);
                        QVERIFY2(events.announcedChecked(checkedBefore), what);
                    }
                }
            }
        }
        QVERIFY(described > 0);
    }

    // By keys alone: a link inserts its code, an option of the questionnaires is checked.
    void keysWorkTheControls()
    {
        QTest::keyClick(window(), Qt::Key_O, Qt::AltModifier);
        QTRY_COMPARE(FocusName(), QStringLiteral("urlO1"));
        QCOMPARE(host->insertedBy([] { PressOnFocus(Qt::Key_Space); }), QStringLiteral("£ORD : TOUT#"));
        PressOnFocus(Qt::Key_Tab);
        QCOMPARE(host->insertedBy([] { PressOnFocus(Qt::Key_Return); }), QStringLiteral("£ORD : ALD#"));

        QTest::keyClick(window(), Qt::Key_Q, Qt::AltModifier);
        QTRY_COMPARE(FocusName(), QStringLiteral("chkHidden"));
        while (FocusName() != QStringLiteral("rdQSD"))
            PressOnFocus(Qt::Key_Tab);
        auto *qsd = qobject_cast<TLumoRadio *>(QApplication::focusWidget());
        PressOnFocus(Qt::Key_Enter);
        QVERIFY(qsd->Value());
        QVERIFY(!hosted()->findChild<TLumoRadio *>(QStringLiteral("rdDernier"))->Value());
    }
};

QTEST_MAIN(TestPickerLayout)
#include "tst_picker_layout.moc"
