#include "settings/VelloranCommandLine.h"

#include "model/Globals.h"
#include "settings/Config.h"

#include <QFileInfo>

QString VelloranExecutable() {
    if (!Config.VelloranExeLocation.isEmpty() && QFileInfo(Config.VelloranExeLocation).isFile())
        return Config.VelloranExeLocation;
    if (!VelloranExePath.isEmpty() && QFileInfo(VelloranExePath).isFile())
        return VelloranExePath;
    return QString();
}

QString VelloranArguments(const QString &scenario, const QString &instancePath,
                          const QString &keywords) {
    QString args;
    if (!scenario.isEmpty()) {
        if (scenario.startsWith(QLatin1Char('"')))
            args += scenario;
        else
            args += QLatin1Char('"') + scenario + QLatin1Char('"');
        args += QLatin1Char(' ');
    }
    if (!instancePath.isEmpty())
        args += QLatin1Char('"') + instancePath + QLatin1Char('"') + QLatin1Char(' ');
    return args + keywords;
}
