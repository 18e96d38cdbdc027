// Whole runs through the real program on the offscreen platform:
//  - 100 waited /bin/true jobs, against a shell script that runs /bin/true 100
//    times and appends a timestamped line to a log after each (goal: within 1.5x);
//  - start-up until the log holds "Batch Job Commenced" (goal: under 150 ms).
#include "common/Median.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void write(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
}

QByteArray batchOf(int jobs) {
    QByteArray b = "Tarnwick 3.0\r\n";
    for (int i = 0; i < jobs; ++i)
        b += "/bin/true\r\n\r\n\r\n0\r\n\r\n\r\nX\r\nNormal\r\n";
    return b;
}

QString logWithCommenced(const QString &logDir) {
    const QStringList logs = QDir(logDir).entryList({"*.txt"}, QDir::Files);
    for (const QString &l : logs) {
        QFile f(logDir + l);
        if (f.open(QIODevice::ReadOnly) && f.readAll().contains("Batch Job Commenced"))
            return l;
    }
    return QString();
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    QDir().mkpath(home + "/Documents");
    write(home + "/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n");
    const QString companion = dir.filePath("companion/");
    write(companion + "Velloran.exe", "#!/bin/sh\n");
    QFile::setPermissions(companion + "Velloran.exe", QFile::ReadOwner | QFile::ExeOwner);
    write(dir.filePath("registry/v.reg"),
          ("Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\Velloran\\Globals]\r\n"
           "\"previousToolVersion\"=\"2.60.71\"\r\n\r\n"
           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
           "{7A1D3E52-0C9B-4F6E-B2A8-5D4E61C3F907}]\r\n\"InstallLocation\"=\"" +
           companion.toUtf8() + "\"\r\n"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_RUNTIME_DIR", dir.path());
    env.insert("TARNWICK_REGISTRY_DIR", dir.filePath("registry"));
    const QString logDir = home + "/Documents/TarnwickData/LogFiles/";

    const QString batch100 = dir.filePath("hundred.twk");
    write(batch100, batchOf(100));
    const QString script = dir.filePath("hundred.sh");
    write(script, "#!/bin/sh\nlog=\"$1\"\n: > \"$log\"\ni=0\nwhile [ $i -lt 100 ]; do\n"
                  "  /bin/true\n  echo \"$(date '+%x %X'): Running /bin/true...\" >> \"$log\"\n"
                  "  i=$((i+1))\ndone\n");
    const QString one = dir.filePath("one.twk");
    write(one, "Tarnwick 3.0\r\nRemark\r\n\r\nhello\r\n\r\n\r\n\r\n\r\n0\r\n");

    auto runOnce = [&](const QString &program, const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer t;
        t.start();
        p.start(program, args);
        p.waitForFinished(120000);
        const double ms = t.nsecsElapsed() / 1e6;
        if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
            std::fprintf(stderr, "%s ended with status %d\n", qPrintable(program), p.exitCode());
        return ms;
    };

    std::vector<double> tw, sh;
    for (int i = 0; i < 7; ++i) {
        tw.push_back(runOnce(TARNWICK_BINARY, {"-execute", batch100}));
        sh.push_back(runOnce("/bin/sh", {script, dir.filePath("script.log")}));
    }

    std::vector<double> startup;
    for (int i = 0; i < 11; ++i) {
        QDir(logDir).removeRecursively();
        QProcess p;
        p.setProcessEnvironment(env);
        QElapsedTimer t;
        t.start();
        p.start(TARNWICK_BINARY, {"-execute", one});
        double ms = -1;
        while (t.elapsed() < 10000) {
            if (!logWithCommenced(logDir).isEmpty()) {
                ms = t.nsecsElapsed() / 1e6;
                break;
            }
            QThread::usleep(500);
        }
        p.waitForFinished(10000);
        startup.push_back(ms < 0 ? 1e9 : ms);
    }

    const double t = median(tw), s = median(sh), st = median(startup);
    std::printf("batch runs through the real program, offscreen (medians)\n");
    std::printf("  100 waited /bin/true jobs: %.1f ms; shell script: %.1f ms; ratio %.2f (goal <= 1.5)\n",
                t, s, t / s);
    std::printf("  start-up to \"Batch Job Commenced\": %.1f ms (goal < 150 ms, %.2f of goal)\n", st,
                st / 150.0);
    return (t / s <= 1.5 && st < 150.0) ? 0 : 1;
}
