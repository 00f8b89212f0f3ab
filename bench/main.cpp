// The benchmarks' entry; scripts/bench runs each of them with the practice it has loaded.
//   scrivo_bench insertion             P1 (X display, mousepad, xclip, xdotool)
//   scrivo_bench startup <label> <doc> P2 (registry of SCRIVO_HKLM_FILE)
//   scrivo_bench questionnaires <label> P3
//   scrivo_bench memory <label> <doc>  P4
//   scrivo_bench search <label>        P5
#include <QApplication>

#include <cstdio>
#include <cstring>

int BenchInsertion();
int BenchStartUp(const QString &label, const QString &document);
int BenchMemory(const QString &label, const QString &document);
int BenchQuestionnairePicker(const QString &label);
int BenchCodeSearch(const QString &label);
int StartUpChild(int argc, char **argv, const QString &document, bool openPickers);

int main(int argc, char **argv)
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const QString label = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    const QString document = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    if (mode == QLatin1String("startup-child"))
        return StartUpChild(argc, argv, label, argc > 3 && std::strcmp(argv[3], "--pickers") == 0);

    QApplication application(argc, argv);
    if (mode == QLatin1String("insertion"))
        return BenchInsertion();
    if (mode == QLatin1String("startup") && !document.isEmpty())
        return BenchStartUp(label, document);
    if (mode == QLatin1String("memory") && !document.isEmpty())
        return BenchMemory(label, document);
    if (mode == QLatin1String("questionnaires") && !label.isEmpty())
        return BenchQuestionnairePicker(label);
    if (mode == QLatin1String("search") && !label.isEmpty())
        return BenchCodeSearch(label);
    std::fprintf(stderr, "usage: scrivo_bench insertion | startup <label> <document> | questionnaires <label> | "
                         "memory <label> <document> | search <label>\n");
    return 2;
}
