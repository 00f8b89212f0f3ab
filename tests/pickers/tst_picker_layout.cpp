// Every picker hosted in the main window at its default size, on the practice fixture:
// no text of a label, link, radio or check is cut, and the keyboard alone reaches every
// control in the order of the screen and works the links and options.
#include "config/COption.h"
#include "config/CReferences.h"
#include "pickers/CouCodeAntecedent.h"
#include "pickers/CouCodeCollateraux.h"
#include "pickers/CouCodeCorresp.h"
#include "pickers/CouCodeDivers.h"
#include "pickers/CouCodeMedecin.h"
#include "pickers/CouCodeOrdo.h"
#include "pickers/CouCodePmsi.h"
#include "pickers/CouCodeQre.h"
#include "pickers/CouCodeSignaletique.h"
#include "pickers/CouVariable.h"
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
// a group box keeps its frame for itself.
QRect ShownRect(const QWidget *control)
{
    QRect shown = control->rect();
    QPoint offset;
    for (const QWidget *child = control; !child->isWindow(); child = child->parentWidget()) {
        offset += child->pos();
        const QWidget *parent = child->parentWidget();
        QRect inside = parent->rect();
        if (qobject_cast<const QGroupBox *>(parent))
            inside.setLeft(parent->contentsRect().left()), inside.setRight(parent->contentsRect().right());
        shown &= inside.translated(-offset);
    }
    return shown;
}

// Where the control's text needs to be drawn whole, in its own coordinates; null for a
// control without text.
QRect NeededRect(const QWidget *control)
{
    if (const auto *link = qobject_cast<const TLumoUrl *>(control))
        return link->Caption().isEmpty() ? QRect() : link->CaptionRect();
    if (const auto *option = qobject_cast<const TLumoRadio *>(control))
        return option->Caption().isEmpty() ? QRect() : option->CaptionRect();
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->text().isEmpty())
            return QRect();
        if (label->wordWrap())
            return QRect(0, 0, label->width(), label->heightForWidth(label->width()));
        return QRect(QPoint(), label->sizeHint());
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
        const int textHeight = button->fontMetrics().height();
        return QRect(0, (button->height() - textHeight) / 2, button->sizeHint().width(), textHeight);
    }
    return QRect();
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

    // Every category on the practice fixture, the variables one included.
    void addPickerData()
    {
        QTest::addColumn<QString>("button");
        for (const char *button : {"bSignalitique", "bCollateraux", "bQuestionnaire", "bAntecedent", "bOrdo",
                                   "bDivers", "bMedecin", "bCorresp", "bPmsi", "bVariable"})
            QTest::newRow(button) << button;
    }
    void useFixture()
    {
        host->useConnexion(connexion.get());
        GlobaleOption->Charger();
        gReferences = new TCReferences(connexion.get());
        gMedecins = new TCMedecins(connexion.get());
        window()->FVariables = std::make_unique<QStringList>(QStringList{"NOM_PATIENT", "DATE_RDV"});
        window()->bVariable->show();
    }
    QPushButton *button(const QString &name) const { return window()->panelBouton->findChild<QPushButton *>(name); }

private slots:
    void init()
    {
        host = std::make_unique<HostedMainWindow>();
        connexion = OpenTestConnexion(FirebirdEngine);
        if (!connexion)
            QSKIP(qPrintable(TestEngineUnavailable(FirebirdEngine)));
        QVERIFY2(connexion->Connected(), qPrintable(connexion->LastServerMessage()));
        useFixture();
    }
    void cleanup()
    {
        host.reset();
        FreeLeftGlobals();
        connexion.reset();
    }

    void noTextIsCut_data() { addPickerData(); }
    void noTextIsCut()
    {
        QFETCH(QString, button);
        QCOMPARE(window()->size(), QSize(587, 377));
        this->button(button)->click();
        QVERIFY(hosted());
        QStringList cut;
        QList<std::pair<QWidget *, QRect>> texts; // in the parent's coordinates
        for (QWidget *control : hosted()->findChildren<QWidget *>()) {
            const QRect needed = NeededRect(control);
            if (!control->isVisible() || needed.isNull())
                continue;
            const QRect shown = ShownRect(control);
            if (!shown.contains(needed))
                cut << QStringLiteral("%1 needs %2..%3 x %4..%5, shows %6..%7 x %8..%9")
                           .arg(control->objectName())
                           .arg(needed.left()).arg(needed.right()).arg(needed.top()).arg(needed.bottom())
                           .arg(shown.left()).arg(shown.right()).arg(shown.top()).arg(shown.bottom());
            // Nor does a text run into its neighbour's.
            for (const auto &[other, rect] : texts)
                if (other->parentWidget() == control->parentWidget() && rect.intersects(needed.translated(control->pos())))
                    cut << control->objectName() + QStringLiteral(" runs into ") + other->objectName();
            texts.append({control, needed.translated(control->pos())});
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    // Tab runs down the category buttons, then through the hosted picker in reading
    // order, and back to the first button.
    void tabFollowsTheScreen_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QKeySequence>("accelerator");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("divers") << "bDivers" << QKeySequence(Qt::ALT | Qt::Key_D)
                                << QStringList{"urlDateJour", "urlMaintenant", "urlGlossaire", "urlO1", "urlO2",
                                               "urlO3", "urlQuestionZC", "urlQuestionZN", "urlQuestionZD", "urlDDO",
                                               "urlDCO", "urlSASA", "urlSaDdr", "urlSaDdg", "utlNoPage", "urlNbPage",
                                               "urlRctDate", "urlRctDates", "urlRctActes", "urlRctMontants",
                                               "urlDDC", "urlDDS"};
        QTest::newRow("questionnaires")
            << "bQuestionnaire" << QKeySequence(Qt::ALT | Qt::Key_Q)
            << QStringList{"chkHidden", "lvQre", "lvQon", "urlQE", "chkInclure", "chkRemplacement", "chkMnemonique",
                           "rdDernier", "rdAChoisir", "rdResume", "rdQSD", "urlInsererTout"};
        QTest::newRow("médecins") << "bMedecin" << QKeySequence(Qt::ALT | Qt::Key_M)
                                  << QStringList{"lstCodes", "radioMedecin", "radioUser"};
    }
    void tabFollowsTheScreen()
    {
        QFETCH(QString, button);
        QFETCH(QKeySequence, accelerator);
        QFETCH(QStringList, order);
        window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window()));

        // Alt and the category's letter: its picker, and the keyboard in it.
        QTest::keySequence(window(), accelerator);
        QTRY_VERIFY(hosted() && hosted()->isAncestorOf(QApplication::focusWidget()));
        QCOMPARE(QApplication::focusWidget()->objectName(), order.first());

        QStringList visited{order.first()};
        for (int i = 1; i < order.size() + 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited.mid(0, order.size()), order);
        QCOMPARE(visited.mid(order.size()),
                 (QStringList{"bSignalitique", "bCollateraux", "bQuestionnaire", "bAntecedent", "bOrdo", "bDivers",
                              "bMedecin", "bCorresp", "bPmsi", "bVariable", "bFold"}));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), order.first());
    }

    // Space and Enter on a link insert its code; on an option they check it.
    void keysWorkLinksAndOptions()
    {
        window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window()));
        QTest::keySequence(window(), QKeySequence(Qt::ALT | Qt::Key_D));
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("urlDateJour"));
        QCOMPARE(host->insertedBy([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space); }),
                 QStringLiteral("£T: Date du jour#"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(host->insertedBy([] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }),
                 QStringLiteral("£T: maintenant¤jj/mm/aaaa hh:nn#"));

        QTest::keySequence(window(), QKeySequence(Qt::ALT | Qt::Key_M));
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("lstCodes"));
        auto *medecin = qobject_cast<TfCouCodeMedecin *>(hosted());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), medecin->radioUser);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QVERIFY(medecin->radioUser->Value());
        QVERIFY(!medecin->radioMedecin->Value());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter);
        QVERIFY(medecin->radioMedecin->Value());
        QVERIFY(!medecin->radioUser->Value());
    }
};

QTEST_MAIN(TestPickerLayout)
#include "tst_picker_layout.moc"
