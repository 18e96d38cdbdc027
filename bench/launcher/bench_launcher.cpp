// What waiting for a started program costs Tarnwick.
//  1. CPU time of Tarnwick's own process while it waits for "sleep 10" (goal: < 20 ms).
//  2. Time to start and await /bin/true through io_RunFile, against a bare posix_spawn +
//     waitpid of the same program in the same process (goal: < 2 ms above it).
// Usage: bench_launcher [sleep-runs (default 3)] [true-runs (default 300)]

#include "common/Median.h"
#include "execution/Launcher.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double bareSpawnMs() {
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    char arg0[] = "/bin/true";
    char *argv[] = {arg0, nullptr};
    if (posix_spawn(&pid, "/bin/true", nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    return t.nsecsElapsed() / 1e6;
}

double launcherMs() {
    QElapsedTimer t;
    t.start();
    const int r = io_RunFile(QStringLiteral("/bin/true"), QString(), QString(),
                             QStringLiteral("Normal"), false, false, true);
    const double ms = t.nsecsElapsed() / 1e6;
    return r == 0 ? ms : -1;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int sleepRuns = argc > 1 ? std::atoi(argv[1]) : 3;
    const int trueRuns = argc > 2 ? std::atoi(argv[2]) : 300;

    std::vector<double> bare, launched;
    for (int i = 0; i < 20; ++i) { // warm up both roads
        bareSpawnMs();
        launcherMs();
    }
    for (int i = 0; i < trueRuns; ++i) {
        bare.push_back(bareSpawnMs());
        launched.push_back(launcherMs());
    }
    if (std::count(launched.begin(), launched.end(), -1.0) > 0) {
        std::fprintf(stderr, "io_RunFile failed on /bin/true\n");
        return 1;
    }
    const double bareMed = median(bare), launchedMed = median(launched);
    const double above = launchedMed - bareMed;
    std::printf("start of a waited /bin/true, %d runs:\n", trueRuns);
    std::printf("  posix_spawn + waitpid    median %.3f ms\n", bareMed);
    std::printf("  io_RunFile (wait)        median %.3f ms\n", launchedMed);
    std::printf("  above fork/exec          %.3f ms   goal < 2 ms   (%.2f of goal, ratio %.2fx)\n",
                above, above / 2.0, launchedMed / bareMed);

    std::vector<double> cpu, wall;
    for (int i = 0; i < sleepRuns; ++i) {
        QElapsedTimer t;
        t.start();
        const double before = cpuMs();
        const int r = io_RunFile(QStringLiteral("sleep"), QString(), QStringLiteral("10"),
                                 QStringLiteral("Normal"), false, false, true);
        cpu.push_back(cpuMs() - before);
        wall.push_back(t.elapsed() / 1e3);
        if (r != 0) {
            std::fprintf(stderr, "io_RunFile(sleep 10) answered %d\n", r);
            return 1;
        }
    }
    const double cpuMed = median(cpu);
    std::printf("waiting for \"sleep 10\", %d runs (median wall %.2f s):\n", sleepRuns,
                median(wall));
    std::printf("  CPU time of Tarnwick     median %.3f ms   goal < 20 ms   (%.3f of goal)\n",
                cpuMed, cpuMed / 20.0);
    return 0;
}
