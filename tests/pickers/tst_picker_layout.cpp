// Every picker hosted in the main window at its default size, on the practice fixture:
// no text of a label, link, radio or check is cut, and the keyboard alone reaches the
// controls in the order of the screen and works them.
#include "config/COption.h"
#include "support/LumoRadio.h"
#include "support/LumoUrl.h"
#include "testsupport/HostedMainWindow.h"
#include "testsupport/LeftGlobals.h"
#include "testsupport/TestDatabases.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

namespace {

// The part of `control` that its parents leave visible, in the control's coordinates;
// a group box keeps its frame's sides for itself.
QRect ShownRect(const QWidget *control)
{
    QRect shown = control->rect();
    QPoint offset;
    for (const QWidget *child = control; !child->isWindow(); child = child->parentWidget()) {
        offset += child->pos();
        const QWidget *parent = child->parentWidget();
        QRect inside = parent->rect();
        if (qobject_cast<const QGroupBox *>(parent))
            inside.setCoords(parent->contentsRect().left(), inside.top(), parent->contentsRect().right(), inside.bottom());
        shown &= inside.translated(-offset);
    }
    return shown;
}

// Where the control's whole text is drawn, in its own coordinates; null without text.
QRect NeededRect(const QWidget *control)
{
    if (const auto *link = qobject_cast<const TLumoUrl *>(control))
        return link->Caption().isEmpty() ? QRect() : link->CaptionRect();
    if (const auto *option = qobject_cast<const TLumoRadio *>(control))
        return option->Caption().isEmpty() ? QRect() : option->CaptionRect();
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->text().isEmpty())
            return QRect();
        return label->wordWrap() ? QRect(0, 0, label->width(), label->heightForWidth(label->width()))
                                 : QRect(QPoint(), label->sizeHint());
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
        const int textHeight = button->fontMetrics().height();
        return QRect(0, (button->height() - textHeight) / 2, button->sizeHint().width(), textHeight);
    }
    return QRect();
}

QString FocusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
}

void PressOnFocus(Qt::Key key)
{
    QTest::keyClick(QApplication::focusWidget(), key);
}

} // namespace

class TestPickerLayout : public QObject {
    Q_OBJECT

    std::unique_ptr<HostedMainWindow> host;
    std::unique_ptr<TCConnexion> connexion;

    TfScrivo *window() const { return host->window(); }
    QWidget *hosted() const
    {
        const auto children = window()->panelHost->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        return children.isEmpty() ? nullptr : children.first();
    }

private slots:
    void init()
    {
        host = std::make_unique<HostedMainWindow>();
        connexion = OpenTestConnexion(FirebirdEngine);
        if (!connexion)
            QSKIP(qPrintable(TestEngineUnavailable(FirebirdEngine)));
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
                                   "bDivers", "bMedecin", "bCorresp", "bPmsi", "bVariable"})
            QTest::newRow(button) << button;
    }
    void noTextIsCut()
    {
        QFETCH(QString, button);
        QCOMPARE(window()->size(), QSize(587, 377));
        window()->panelBouton->findChild<QAbstractButton *>(button)->click();
        QStringList faults;
        QList<std::pair<QWidget *, QRect>> texts; // in their parent's coordinates
        for (QWidget *control : hosted()->findChildren<QWidget *>()) {
            const QRect needed = NeededRect(control);
            if (!control->isVisible() || needed.isNull())
                continue;
            if (!ShownRect(control).contains(needed))
                faults << control->objectName() + QStringLiteral(" is cut");
            for (const auto &[other, rect] : texts)
                if (other->parentWidget() == control->parentWidget() && rect.intersects(needed.translated(control->pos())))
                    faults << control->objectName() + QStringLiteral(" runs into ") + other->objectName();
            texts.append({control, needed.translated(control->pos())});
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QStringLiteral(", "))));
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
