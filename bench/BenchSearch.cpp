// P5: the search over every category on a practice, as the user meets it: the first
// search, which gathers every picker's codes into the index (and, apart, its two parts);
// the memory the index takes; then each keystroke of a few searches typed letter by
// letter, from the field's new text to the results drawn again, and the index's share.
#include "BenchSupport.h"

#include "app/ProcessObjects.h"
#include "config/CConnexion.h"
#include "config/COption.h"
#include "config/CReferences.h"
#include "data/CMedecin.h"
#include "pickers/CodeCatalogue.h"
#include "pickers/CouCodeRecherche.h"
#include "support/WrkGraphics.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QLineEdit>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

// Typed letter by letter; the last one names the large questionnaire.
const QString Typed[] = {QStringLiteral("coeur bilan"), QStringLiteral("evaluation sommeil 12"),
                         QStringLiteral("medecin"), QStringLiteral("date jour"),
                         QStringLiteral("bilan geriatrique complet")};

} // namespace

int BenchCodeSearch(const QString &label)
{
    TCProcessObjects objects;
    if (!ConnectFromRegistry())
        return 1;
    // As after the start-up: the options, the doctor list and the reference lists there.
    if (GlobaleOption)
        GlobaleOption->Charger();
    gMedecins = new TCMedecins(gConnexion);
    gReferences = new TCReferences(gConnexion);
    TfWrkGraphics imageStore;
    BenchHost host;

    Figure build(QStringLiteral("P5 search.build.") + label);
    Figure memory(QStringLiteral("P5 search.memory.") + label, QStringLiteral("MB"));
    Figure keystroke(QStringLiteral("P5 search.keystroke.") + label);
    Figure find(QStringLiteral("P5 search.find.") + label);
    Figure gather(QStringLiteral("P5 search.gather.") + label);
    Figure index(QStringLiteral("P5 search.index.") + label);
    int entries = 0;
    // Each run's picker and index stay: the memory a run adds is its index's, not
    // memory a previous index freed.
    std::vector<std::unique_ptr<TfCouCodeRecherche>> kept;
    for (int run = 0; run <= BenchRuns(); ++run) {
        auto &search = kept.emplace_back(std::make_unique<TfCouCodeRecherche>(&host));
        search->show();
        QApplication::processEvents();
        const double before = ResidentMb();
        const std::int64_t buildStart = MonotonicNs();
        search->edRecherche->setText(QStringLiteral("c"));
        QApplication::processEvents();
        const std::int64_t built = MonotonicNs();
        if (!search->Index()) {
            std::fprintf(stderr, "no index after the first search\n");
            return 1;
        }
        entries = search->Index()->Count();
        if (run > 0)
            memory.samples.push_back(ResidentMb() - before);
        for (const QString &typed : Typed)
            for (qsizetype length = 1; length <= typed.size(); ++length) {
                const std::int64_t keyStart = MonotonicNs();
                search->edRecherche->setText(typed.left(length));
                QApplication::processEvents();
                if (run > 0)
                    keystroke.samples.push_back(MsBetween(keyStart, MonotonicNs()));
            }
        // The index's share of each keystroke.
        for (const QString &typed : Typed)
            for (qsizetype length = 1; length <= typed.size() && run > 0; ++length) {
                const std::int64_t findStart = MonotonicNs();
                search->Index()->Find(typed.left(length));
                find.samples.push_back(MsBetween(findStart, MonotonicNs()));
            }
        const QString first = search->lvCodes->model()->index(0, 0).data().toString();
        if (!first.startsWith(QStringLiteral("Bilan gériatrique complet"))) {
            std::fprintf(stderr, "the large questionnaire is not found first: %s\n", first.toUtf8().constData());
            return 1;
        }
        if (run > 0)
            build.samples.push_back(MsBetween(buildStart, built));
    }
    // The first search's two parts: the pickers listing their codes, the index made of
    // them (after the runs above, whose memory would otherwise reuse what these free).
    for (int run = 0; run <= BenchRuns(); ++run) {
        const std::int64_t gatherStart = MonotonicNs();
        TCodeEntries codes = CatalogueOfCodes(&host);
        const std::int64_t gathered = MonotonicNs();
        const TCodeIndex made(std::move(codes));
        if (run > 0) {
            gather.samples.push_back(MsBetween(gatherStart, gathered));
            index.samples.push_back(MsBetween(gathered, MonotonicNs()));
        }
    }
    PrintFigure(build, nullptr, QStringLiteral("%1 codes").arg(entries));
    PrintFigure(gather, nullptr, QStringLiteral("the pickers listing their codes"));
    PrintFigure(index, nullptr, QStringLiteral("the index made of them"));
    PrintFigure(memory, nullptr, QStringLiteral("resident memory an index adds"));
    PrintFigure(keystroke, nullptr, QStringLiteral("%1 keystrokes a run").arg(keystroke.samples.size() / std::max(1, BenchRuns())));
    PrintFigure(find, nullptr, QStringLiteral("the index's share of a keystroke"));
    return 0;
}
