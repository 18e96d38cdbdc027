// Reads and writes a batch of 10,000 jobs; goal: each under 30 ms.
#include "common/Median.h"
#include "model/BatchFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("big.twk");
    TBatch batch;
    QVector<TBatchJob> jobs;
    for (int i = 0; i < 10000; ++i) {
        TBatchJob j;
        j.Command = TJobCommand(i % JobCommandCount);
        j.FileName = QStringLiteral("/data/in/file_%1.csv").arg(i);
        j.WorkingDir = QStringLiteral("/data/work");
        j.Parameter = QStringLiteral("/data/out/file_%1_%yyyy%%mm%%dd%.csv").arg(i);
        j.Priority = NormalPriority;
        j.Delay = QStringLiteral("500");
        j.Wait = QStringLiteral("X");
        jobs.append(j);
    }
    batch.setJobs(jobs);
    batch.setFileName(path);
    std::vector<double> writes, reads;
    for (int round = 0; round < 15; ++round) {
        QElapsedTimer t;
        t.start();
        if (!SaveBatchFile(batch))
            return 1;
        writes.push_back(t.nsecsElapsed() / 1e6);
        TBatch loaded;
        loaded.setFileName(path);
        t.restart();
        if (LoadBatchFile(loaded) != 0 || loaded.count() != 10000)
            return 1;
        reads.push_back(t.nsecsElapsed() / 1e6);
    }
    const double w = median(writes), r = median(reads);
    std::printf("batch file, 10000 jobs (median of 15)\n");
    std::printf("  write: %.2f ms  (goal < 30 ms, %.2f of goal)\n", w, w / 30.0);
    std::printf("  read:  %.2f ms  (goal < 30 ms, %.2f of goal)\n", r, r / 30.0);
    return (w < 30.0 && r < 30.0) ? 0 : 1;
}
