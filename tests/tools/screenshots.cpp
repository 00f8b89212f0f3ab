// Writes a PNG of the main window hosting each picker, for people to look at:
//   screenshots <output folder>
#include "app/ProcessObjects.h"
#include "app/Scrivo.h"
#include "support/WrkGraphics.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(folder);

    TCProcessObjects objects;
    TfScrivo window;
    TfWrkGraphics graphics;
    window.show();
    window.TimerStart->stop(); // no start-up: the window stays unfolded and empty
    window.panelCnx->hide();

    int written = 0;
    for (QPushButton *button : {window.bDivers, window.bOrdo, window.bMedecin, window.bCorresp, window.bPmsi}) {
        button->click();
        for (int i = 0; i < 10; ++i)
            QApplication::processEvents();
        const QString file = QDir(folder).filePath(button->objectName().mid(1).toLower() + QStringLiteral(".png"));
        if (window.grab().save(file)) {
            ++written;
            qInfo("%s", qPrintable(file));
        }
    }
    return written == 5 ? 0 : 1;
}
