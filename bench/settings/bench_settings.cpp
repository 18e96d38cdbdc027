// A full save of the settings (9 recent files, 20 instances) into an existing
// file: one locked read, rewrite and rename. Goal: under 10 ms.
#include "common/Median.h"
#include "model/Globals.h"
#include "settings/Config.h"
#include "settings/RegistryUnit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    qputenv("TARNWICK_REGISTRY_DIR", dir.filePath("registry").toUtf8());
    SettingsDir = dir.path() + "/";
    QStringList paths, colors;
    for (int i = 0; i < 20; ++i) {
        paths << QString("Instance %1=/home/user/instances/instance %1.reg").arg(i);
        colors << QString("Instance %1=$00%2CCFF").arg(i).arg(i * 7, 2, 16, QLatin1Char('0'));
    }
    InstancePaths = &paths;
    InstanceColors = &colors;
    SetFormStateProvider([] {
        TFormState s;
        s.left = 60;
        s.top = 60;
        s.width = 1119;
        s.height = 698;
        for (int c = 0; c < 10; ++c)
            s.columnWidths << 80 + c;
        for (int i = 0; i < 9; ++i)
            s.recentFiles
                << QString("/home/user/Documents/TarnwickData/nightly batch %1.twk").arg(i);
        return s;
    });
    Reg_init();
    Reg_SaveConfig(); // the file exists, as it does after the first start

    const int rounds = 101;
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        Config.Count = i;
        QElapsedTimer t;
        t.start();
        Reg_SaveConfig();
        times.push_back(t.nsecsElapsed() / 1e6);
    }
    Reg_Close();
    const double m = median(times);
    std::printf("settings store, full save: 9 recent files, 20 instances (median of %d)\n", rounds);
    std::printf("  save: %.2f ms  (goal < 10 ms, %.2f of goal)\n", m, m / 10.0);
    return 0;
}
