#include "BenchSupport.h"

#include "config/CCnxParam.h"
#include "config/CConnexion.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cstdio>
#include <ctime>

std::int64_t MonotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

double MsBetween(std::int64_t from, std::int64_t to)
{
    return double(to - from) / 1e6;
}

double Figure::Median() const
{
    if (samples.empty())
        return 0;
    std::vector<double> sorted = samples;
    std::sort(sorted.begin(), sorted.end());
    const size_t middle = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2;
}

double Figure::Min() const
{
    return samples.empty() ? 0 : *std::min_element(samples.begin(), samples.end());
}

double Figure::Max() const
{
    return samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
}

void PrintFigure(const Figure &figure, const Figure *baseline, const QString &note)
{
    QString line = QStringLiteral("%1 median %2 %3  min %4  max %5  (%6 runs)")
                       .arg(figure.name, -34)
                       .arg(figure.Median(), 8, 'f', 1)
                       .arg(figure.unit, -2)
                       .arg(figure.Min(), 8, 'f', 1)
                       .arg(figure.Max(), 8, 'f', 1)
                       .arg(figure.samples.size());
    if (baseline && baseline->Median() > 0)
        line += QStringLiteral("  ratio %1 vs %2 (median %3)")
                    .arg(figure.Median() / baseline->Median(), 0, 'f', 2)
                    .arg(baseline->name)
                    .arg(baseline->Median(), 0, 'f', 1);
    if (!note.isEmpty())
        line += QStringLiteral("  ") + note;
    // scripts/bench names the build when it compares two.
    const QString build = qEnvironmentVariable("SCRIVO_BENCH_BUILD");
    if (!build.isEmpty())
        line += QStringLiteral("  [") + build + u']';
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

bool ConnectFromRegistry()
{
    if (!gConnexion || !gConnexion->Params()) {
        std::fprintf(stderr, "no connection parameters (SCRIVO_HKLM_FILE)\n");
        return false;
    }
    gConnexion->Params()->LoadParams(false);
    gConnexion->SetupConnection();
    if (!gConnexion->Connect(false)) {
        std::fprintf(stderr, "cannot connect: %s\n", gConnexion->LastServerMessage().toUtf8().constData());
        return false;
    }
    return true;
}

namespace {

// A "<field>: <n> kB" line of /proc/self/status, in MB.
double StatusMb(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpressionMatch match =
        QRegularExpression(QLatin1String(field) + QStringLiteral(":\\s*(\\d+) kB")).match(text);
    return match.hasMatch() ? match.captured(1).toDouble() / 1024.0 : 0;
}

} // namespace

double PeakResidentMb()
{
    return StatusMb("VmHWM");
}

double ResidentMb()
{
    return StatusMb("VmRSS");
}

int BenchRuns()
{
    bool ok = false;
    const int runs = qEnvironmentVariableIntValue("SCRIVO_BENCH_RUNS", &ok);
    return ok && runs > 0 ? runs : 7;
}
