#include "settings/VelloranDiscovery.h"

#include "model/Globals.h"
#include "model/Helpers.h"
#include "model/Messages.h"
#include "settings/RegistryUnit.h"

#include <QFileInfo>
#include <QStringList>

namespace {

bool splitVersion(const QString &text, QStringList *parts) {
    if (text.isEmpty())
        return false;
    const QStringList p = text.split(QLatin1Char('.'));
    for (const QString &part : p) {
        if (part.isEmpty())
            return false;
        for (const QChar c : part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
    }
    *parts = p;
    return true;
}

// Digit strings of any length, compared by value.
int compareNumbers(QString a, QString b) {
    while (a.size() > 1 && a.startsWith(QLatin1Char('0')))
        a.remove(0, 1);
    while (b.size() > 1 && b.startsWith(QLatin1Char('0')))
        b.remove(0, 1);
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

QString existingExe(const QString &installLocation) {
    if (installLocation.isEmpty())
        return QString();
    // The installer keeps the folder with its separator at the end.
    const QString path = installLocation + VelloranExeName;
    const QFileInfo fi(path);
    return fi.isFile() ? path : QString();
}

} // namespace

bool CompareVersions(const QString &a, const QString &b, int *result) {
    QStringList pa, pb;
    if (!splitVersion(a, &pa) || !splitVersion(b, &pb))
        return false;
    const int n = int(qMax(pa.size(), pb.size()));
    for (int i = 0; i < n; ++i) {
        const QString x = i < pa.size() ? pa[i] : QStringLiteral("0");
        const QString y = i < pb.size() ? pb[i] : QStringLiteral("0");
        const int c = compareNumbers(x, y);
        if (c != 0) {
            *result = c < 0 ? -1 : 1;
            return true;
        }
    }
    *result = 0;
    return true;
}

bool VelloranVersionAcceptable(const QString &version) {
    int c;
    return CompareVersions(version, VelloranVersionBelowMinimum, &c) && c > 0;
}

bool Reg_FindVelloran() {
    TraceStep(QStringLiteral("Reg_FindVelloran"));
    const QString recorded =
        Reg_ReadValue(TRegRoot::CurrentUser, VelloranGlobalsKey, VelloranVersionValue);
    if (!recorded.isEmpty())
        VelloranVersion = recorded;
    if (!VelloranVersionAcceptable(VelloranVersion)) {
        ShowPlainMessage(VelloranTooOldMessage);
        return false;
    }
    VelloranDataDir = AddBackslash(Reg_GetSpecialFolder(5)) + QStringLiteral("VelloranData");
    QString exe = existingExe(
        Reg_ReadValue(TRegRoot::LocalMachine, VelloranUninstallKey1, VelloranInstallLocationValue));
    if (exe.isEmpty())
        exe = existingExe(Reg_ReadValue(TRegRoot::LocalMachine, VelloranUninstallKey2,
                                        VelloranInstallLocationValue));
    VelloranExePath = exe;
    return true;
}
