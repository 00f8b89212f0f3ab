// End to end as a screen reader meets the program: the real program on an accessibility
// bus of the test's own, read through AT-SPI. The main window and one picker of each kind
// (links, a list with radios, a tree, a drop-down list, the questionnaires' lists, radios
// and checks) show their controls named, with their roles and states; a category button
// and a link pressed through AT-SPI put the link's code into the saved mousepad document.
#include "testsupport/AtSpiSession.h"
#include "testsupport/X11Session.h"

#include <QtTest>

namespace {

struct Node {
    QString role, name, states, actions, description;
};

// The nodes of the reader's tree, one a line: role | name | states | actions | description.
QList<Node> Nodes(const QString &tree)
{
    QList<Node> nodes;
    static const QRegularExpression indent(QStringLiteral("^ *"));
    for (QString line : tree.split(u'\n')) {
        const QStringList fields = line.remove(indent).split(QStringLiteral(" | "));
        if (fields.size() == 5)
            nodes.append({fields[0], fields[1], fields[2], fields[3], fields[4]});
    }
    return nodes;
}

const QString MainWindow = QStringLiteral("Insertion des Codes Courriers");

} // namespace

class TestAccessibilityEndToEnd : public QObject {
    Q_OBJECT

    AtSpiSession atspi;

    // The tree of the main window once it holds `role` `name`, printed.
    QList<Node> walk(const QString &role, const QString &name)
    {
        QString tree;
        const bool read = atspi.read({QStringLiteral("tree"), MainWindow, role, name}, &tree);
        qInfo("%s", qPrintable(tree));
        return read ? Nodes(tree) : QList<Node>();
    }
    bool press(const QString &role, const QString &name)
    {
        QString answer;
        const bool pressed = atspi.read({QStringLiteral("press"), role, name}, &answer);
        if (!pressed)
            qWarning("%s", qPrintable(answer));
        return pressed;
    }

private slots:
    void initTestCase()
    {
        SCRIVO_SKIP_WITHOUT_X11_DISPLAY();
        QString error;
        if (!atspi.start(&error))
            SCRIVO_SKIP_WITHOUT_FIXTURE(error);
    }

    void screenReaderWalksThePickersAndPressesALink()
    {
        MousepadDocument document(QStringLiteral("courrier.txt"));
        QVERIFY(document.open());
        ScrivoProcess scrivo;
        SCRIVO_SKIP_WITHOUT_WORKSTATION(scrivo);
        scrivo.setEnvironment(atspi.environment(scrivo.environment()));
        QVERIFY(scrivo.start({QStringLiteral("-app=courrier.txt"), QStringLiteral("x")}));

        // The main window, then each picker once its category button is pressed: the
        // nodes that must be there, by role, name and a state or action each must show.
        struct Expected {
            const char *button, *role, *name, *shows;
        };
        const Expected windows[] = {
            {"", "push button", "Signalitique", "Press"},
            {"", "push button", "Correspondants", "Press"},
            {"", "push button", "Fermer", "Press"},
            {"Antécédents", "radio button", "Avec les commentaires (codes en ATC)", "checked"},
            {"Antécédents", "list", "Catégories d'antécédents", "focusable"},
            {"Antécédents", "link", "oui", "Press"},
            {"Signalitique", "tree", "Champs signalétiques", "focusable"},
            {"Collateraux", "list", "Champs du collatéral", "focusable"},
            {"Questionnaire", "check box", "inclure le libellé de la question", "Toggle"},
            {"Questionnaire", "radio button", "dernière occurrence (codes en QQD)", "checked"},
            {"Questionnaire", "tree", "Questionnaires", "focusable"},
            {"Divers", "link", "Glossaire", "Press"},
        };
        QString shown = QStringLiteral("(none)");
        QList<Node> nodes;
        for (const Expected &expected : windows) {
            const QString button = QString::fromUtf8(expected.button);
            if (button != shown) {
                if (!button.isEmpty())
                    QVERIFY(press(QStringLiteral("push button"), button));
                nodes = walk(QString::fromUtf8(expected.role), QString::fromUtf8(expected.name));
                shown = button;
            }
            const bool found = std::any_of(nodes.begin(), nodes.end(), [&](const Node &node) {
                return node.role == QLatin1String(expected.role) && node.name == QString::fromUtf8(expected.name)
                       && QString(node.states + u',' + node.actions).split(u',').contains(QLatin1String(expected.shows));
            });
            QVERIFY2(found, expected.name);
            for (const Node &node : nodes)
                QVERIFY2(!node.states.contains(QStringLiteral("focusable")) || !node.name.trimmed().isEmpty(),
                         qPrintable(button + QStringLiteral(": unnamed ") + node.role));
        }

        // A link's description tells what it inserts; pressing a link inserts its code.
        QVERIFY(std::any_of(nodes.begin(), nodes.end(), [](const Node &node) {
            return node.name == QLatin1String("Glossaire")
                   && node.description == QStringLiteral("Permet d'insérer un élément de glossaire sur mnémonique");
        }));
        QVERIFY(press(QStringLiteral("link"), QStringLiteral("Insérer Date du Jour")));
        QVERIFY(document.waitUntilModified());
        QCOMPARE(document.saveAndRead(), QStringLiteral("£T: Date du jour#"));
    }
};

SCRIVO_E2E_MAIN(TestAccessibilityEndToEnd)
#include "tst_accessibility_e2e.moc"
