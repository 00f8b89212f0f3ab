// Pictures for people to look at:
//   screenshots <output folder>        the main window hosting each picker, one PNG each,
//                                      and the search over every category with a few
//                                      letters typed; with a connection in the registry
//                                      (scripts/screenshots makes one to the demo
//                                      database), the pickers that read the practice too
//   screenshots --desktop <file.png>   the whole screen as it is now
#include "app/ProcessObjects.h"
#include "app/Scrivo.h"
#include "config/CCnxParam.h"
#include "config/CConnexion.h"
#include "config/COption.h"
#include "config/CReferences.h"
#include "data/CMedecin.h"
#include "pickers/CouCodeRecherche.h"
#include "support/WrkGraphics.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--desktop") == 0)
        return QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;

    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);

    TCProcessObjects objects;
    TfScrivo window;
    TfWrkGraphics graphics;
    window.show();
    window.TimerStart->stop(); // no start-up: the window stays unfolded and empty
    window.panelCnx->hide();

    QList<QPushButton *> buttons = {window.bDivers, window.bOrdo, window.bMedecin, window.bCorresp, window.bPmsi};
    if (qEnvironmentVariableIsSet("SCRIVO_HKLM_FILE") && gConnexion && gConnexion->Params()) {
        try {
            gConnexion->Params()->LoadParams(false);
            gConnexion->SetupConnection();
            gConnexion->Connect(false);
        } catch (const std::exception &) {
        }
        if (gConnexion->Connected()) {
            GlobaleOption->Charger();
            gMedecins = new TCMedecins(gConnexion);
            gReferences = new TCReferences(gConnexion);
            window.FVariables = std::make_unique<QStringList>(QStringList{"NOM_PATIENT", "DATE_RDV", "MOTIF"});
            window.bVariable->show();
            buttons << window.bSignalitique << window.bCollateraux << window.bQuestionnaire << window.bAntecedent
                    << window.bVariable;
        }
    }

    int written = 0;
    const auto save = [&](const QString &name) {
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents();
        const QString file = QDir(folder).filePath(name + QStringLiteral(".png"));
        if (window.grab().save(file)) {
            ++written;
            qInfo("%s", qPrintable(file));
        }
    };
    for (QPushButton *button : buttons) {
        button->click();
        save(button->objectName().mid(1).toLower());
    }
    window.ShowCodeSearch();
    if (auto *search = window.panelHost->findChild<TfCouCodeRecherche *>())
        search->edRecherche->setText(QStringLiteral("date jour"));
    save(QStringLiteral("recherche"));
    return written == buttons.size() + 1 ? 0 : 1;
}
