// What every benchmark shares: a monotonic clock, the figures of repeated runs and the
// line each figure is printed as, the program's connection made from the registry files
// the environment names, and the peak resident memory of this process.
#pragma once

#include "pickers/PickerHost.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <utility>

#include <cstdint>
#include <vector>

/// CLOCK_MONOTONIC in nanoseconds: the same clock in every process of the machine.
std::int64_t MonotonicNs();
/// Milliseconds between two MonotonicNs() values.
double MsBetween(std::int64_t from, std::int64_t to);

/// One figure: its samples, in milliseconds (or MB), of the runs after the warm-up.
struct Figure {
    explicit Figure(QString figureName, QString figureUnit = QStringLiteral("ms"))
        : name(std::move(figureName))
        , unit(std::move(figureUnit))
    {
    }
    QString name;
    QString unit;
    std::vector<double> samples;
    double Median() const;
    double Min() const;
    double Max() const;
};

/// Prints "name  median .. min .. max .." and, with a baseline, the ratio of the two
/// medians (figure / baseline) and what the baseline is.
void PrintFigure(const Figure &figure, const Figure *baseline = nullptr, const QString &note = {});

/// Reads the connection parameters from the registry files of the environment and
/// connects; false, with the reason on stderr, when it cannot.
bool ConnectFromRegistry();

/// VmHWM of /proc/self/status, in MB.
double PeakResidentMb();

/// Runs of each benchmark after one warm-up run (SCRIVO_BENCH_RUNS, default 7).
int BenchRuns();

/// Hosts a picker as the main window does, and keeps what it inserts; its window is
/// shown.
class BenchHost final : public TPickerHost {
public:
    BenchHost()
    {
        Owner.resize(600, 400);
        Owner.show();
    }
    QWidget Owner;
    QString Inserted;
    void InsertCode(const QString &code) override { Inserted = code; }
    const QStringList *Variables() const override { return nullptr; }
    int QuestionnaireId() const override { return 0; }
    const QStringList &InsertedCodes() const override { return FInsertedCodes; }
    QWidget *OwnerWindow() override { return &Owner; }

private:
    QStringList FInsertedCodes;
};

/// VmRSS of /proc/self/status, in MB: what the process holds now.
double ResidentMb();
