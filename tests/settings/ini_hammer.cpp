// Saves its own keys into a settings file again and again, as a second
// program instance would: ini_hammer <file> <name> <rounds>.
#include "settings/IniFile.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 3;
    TIniFile ini(args[1]);
    const QString name = args[2];
    const int rounds = args[3].toInt();
    for (int i = 0; i < rounds; ++i) {
        const bool ok = ini.Update([&](TIniDocument &d) {
            // One section of its own and one shared with the other process.
            for (int k = 0; k < 5; ++k)
                d.writeInteger(name, QStringLiteral("Key%1").arg(k), i);
            d.writeInteger(QStringLiteral("Shared"), name, i);
        });
        if (!ok) {
            std::fprintf(stderr, "save %d failed\n", i);
            return 1;
        }
    }
    return 0;
}
