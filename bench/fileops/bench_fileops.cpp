// Copy of one 1 GiB file against cp, and delete of a 10,000-file tree against rm -rf,
// in the same run and the same temporary folder. Usage: bench_fileops [folder]
// (default: the system's temporary folder). Needs about 2.2 GiB free there; at most
// one source and one copy exist at any time, and everything is removed at the end.
#include "common/Median.h"
#include "execution/CopyUnit.h"
#include "execution/FileOps.h"
#include "execution/WorkObjects.h"
#include "model/Globals.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

constexpr qint64 FileSize = qint64(1) << 30;
constexpr int TreeFolders = 100;
constexpr int FilesPerFolder = 100;
constexpr int CopyRounds = 3;
constexpr int DeleteRounds = 5;
constexpr double CopyGoal = 1.1;
constexpr double DeleteGoal = 1.2;

double timeMs(const std::function<bool()> &work, bool *ok) {
    QElapsedTimer t;
    t.start();
    *ok = work() && *ok;
    return double(t.nsecsElapsed()) / 1e6;
}

bool run(const QString &program, const QStringList &args) {
    return QProcess::execute(program, args) == 0;
}

// Lets the kernel write back what the last round left dirty, so no round pays for another.
void settle(const QString &folder) {
    run(QStringLiteral("sync"), {QStringLiteral("-f"), folder});
}

bool writeSource(const QString &path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk(8 << 20, '\0');
    quint32 x = 2463534242u;
    for (qint64 written = 0; written < FileSize; written += chunk.size()) {
        // Bytes that neither compress nor look like holes.
        for (int i = 0; i < chunk.size(); i += 4) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            memcpy(chunk.data() + i, &x, 4);
        }
        if (f.write(chunk) != chunk.size())
            return false;
    }
    return f.flush();
}

bool makeTree(const QString &top) {
    const QByteArray content(64, 'd');
    for (int d = 0; d < TreeFolders; ++d) {
        const QString folder = QStringLiteral("%1/d%2").arg(top).arg(d);
        if (!QDir().mkpath(folder))
            return false;
        for (int i = 0; i < FilesPerFolder; ++i) {
            QFile f(QStringLiteral("%1/f%2.dat").arg(folder).arg(i));
            if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
                return false;
        }
    }
    return true;
}

void report(const char *what, double ours, double theirs, const char *against, double goal) {
    const double ratio = ours / theirs;
    std::printf("%-12s tarnwick %9.1f ms   %-7s %9.1f ms   ratio %.3f   goal <= %.1f  %s\n", what,
                ours, against, theirs, ratio, goal, ratio <= goal ? "met" : "MISSED");
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString base = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    QTemporaryDir work(base + QStringLiteral("/tw-bench-fileops-XXXXXX"));
    if (!work.isValid()) {
        std::fprintf(stderr, "cannot make a work folder in %s\n", qPrintable(base));
        return 1;
    }
    if (!data_GetMem())
        return 1;
    const QString dir = work.path();
    std::printf("work folder %s (%s)\n", qPrintable(dir),
                QStorageInfo(dir).fileSystemType().constData());
    int status = 0;

    // Copy.
    const qint64 needed = 2 * FileSize + (qint64(200) << 20);
    if (QStorageInfo(dir).bytesAvailable() < needed) {
        std::printf("copy         skipped: needs %lld MiB free\n", needed >> 20);
    } else {
        const QString source = dir + QStringLiteral("/source.bin");
        const QString target = dir + QStringLiteral("/target.bin");
        if (!writeSource(source)) {
            std::fprintf(stderr, "cannot write the source file\n");
            return 1;
        }
        settle(dir);
        std::vector<double> ours, cp;
        bool ok = true;
        for (int round = 0; round < CopyRounds; ++round) {
            // Alternating who goes first evens out what the page cache gives each.
            for (int turn = 0; turn < 2; ++turn) {
                const bool oursNow = (round + turn) % 2 == 0;
                if (oursNow)
                    ours.push_back(timeMs(
                        [&] {
                            io_CopyFile(source, target, true);
                            return WorkList->join("\r\n").endsWith(" ... copied.");
                        },
                        &ok));
                else
                    cp.push_back(timeMs(
                        [&] {
                            return run(QStringLiteral("cp"), {source, target});
                        },
                        &ok));
                if (QFile(target).size() != FileSize)
                    ok = false;
                QFile::remove(target);
                settle(dir);
            }
        }
        QFile::remove(source);
        if (!ok) {
            std::fprintf(stderr, "a copy failed\n");
            status = 1;
        }
        report("copy 1 GiB", median(ours), median(cp), "cp", CopyGoal);
    }

    // Tree delete.
    {
        std::vector<double> ours, rm;
        bool ok = true;
        for (int round = 0; round < DeleteRounds; ++round) {
            for (int turn = 0; turn < 2; ++turn) {
                const bool oursNow = (round + turn) % 2 == 0;
                const QString top = dir + QStringLiteral("/tree");
                if (!makeTree(top)) {
                    std::fprintf(stderr, "cannot build the tree\n");
                    return 1;
                }
                settle(dir);
                if (oursNow)
                    ours.push_back(timeMs([&] { return DeleteDirectoryTree(top); }, &ok));
                else
                    rm.push_back(timeMs(
                        [&] {
                            return run(QStringLiteral("rm"), {QStringLiteral("-rf"), top});
                        },
                        &ok));
                if (QFileInfo::exists(top))
                    ok = false;
            }
        }
        if (!ok) {
            std::fprintf(stderr, "a tree delete failed\n");
            status = 1;
        }
        report("delete tree", median(ours), median(rm), "rm -rf", DeleteGoal);
        std::printf("             (%d folders of %d files each, medians of %d rounds)\n",
                    TreeFolders, FilesPerFolder, DeleteRounds);
    }
    data_FreeMem();
    return status;
}
