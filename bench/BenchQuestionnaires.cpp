// P3: the questionnaire picker on a practice: showing it (every questionnaire listed),
// selecting the questionnaire of 300 questions, and "Insérer tout le questionnaire" of
// those questions, up to the text handed to the insertion road (P1 measures the road).
#include "BenchSupport.h"

#include "app/ProcessObjects.h"
#include "config/CConnexion.h"
#include "data/CMedecin.h"
#include "data/CQuestionnaire.h"
#include "pickers/CouCodeQre.h"
#include "support/WinTools.h"
#include "support/WrkGraphics.h"

#include <QApplication>
#include <QTreeWidget>

#include <cstdio>

namespace {

constexpr int BigQuestionnaire = 1;
constexpr int BigQuestions = 300;

QTreeWidgetItem *RowOf(const TfCouCodeQre &picker, int code)
{
    for (int row = 0; row < picker.lvQre->topLevelItemCount(); ++row) {
        QTreeWidgetItem *item = picker.lvQre->topLevelItem(row);
        const TCQuestionnaire *questionnaire = picker.Questionnaires->Items(item->data(0, Qt::UserRole).toInt());
        if (questionnaire && questionnaire->code_questionnaire == code)
            return item;
    }
    return nullptr;
}

} // namespace

int BenchQuestionnairePicker(const QString &label)
{
    TCProcessObjects objects;
    if (!ConnectFromRegistry())
        return 1;
    // As after the start-up: the doctor list loaded (questions of type 9 read it).
    gMedecins = new TCMedecins(gConnexion);
    TfWrkGraphics imageStore;
    BenchHost host;

    Figure show(QStringLiteral("P3 qre.show.") + label);
    Figure select(QStringLiteral("P3 qre.select300.") + label);
    Figure insert(QStringLiteral("P3 qre.insertall300.") + label);
    int rows = 0;
    for (int run = 0; run <= BenchRuns(); ++run) {
        auto picker = std::make_unique<TfCouCodeQre>(&host);
        const std::int64_t showStart = MonotonicNs();
        picker->show();
        QApplication::processEvents();
        const std::int64_t shown = MonotonicNs();
        rows = picker->lvQre->topLevelItemCount();

        QTreeWidgetItem *item = RowOf(*picker, BigQuestionnaire);
        if (!item) {
            std::fprintf(stderr, "questionnaire %d not listed\n", BigQuestionnaire);
            return 1;
        }
        const std::int64_t selectStart = MonotonicNs();
        picker->lvQre->setCurrentItem(item);
        QApplication::processEvents();
        const std::int64_t selected = MonotonicNs();
        if (picker->lvQon->topLevelItemCount() != BigQuestions) {
            std::fprintf(stderr, "%d questions listed instead of %d\n", picker->lvQon->topLevelItemCount(), BigQuestions);
            return 1;
        }

        host.Inserted.clear();
        const std::int64_t insertStart = MonotonicNs();
        picker->urlInsererToutClick();
        const std::int64_t inserted = MonotonicNs();
        // One line per question, each ended as the program ends the lines it types.
        const qsizetype codes = host.Inserted.count(QStringLiteral("]#") + LineBreak());
        if (codes != BigQuestions) {
            std::fprintf(stderr, "the inserted text holds %lld codes\n", static_cast<long long>(codes));
            return 1;
        }
        if (run == 0)
            continue; // warm-up
        show.samples.push_back(MsBetween(showStart, shown));
        select.samples.push_back(MsBetween(selectStart, selected));
        insert.samples.push_back(MsBetween(insertStart, inserted));
    }
    const QString listed = QStringLiteral("%1 questionnaires listed").arg(rows);
    PrintFigure(show, nullptr, listed);
    PrintFigure(select);
    PrintFigure(insert);
    return 0;
}
