#include "settings/RegistryUnit.h"

#include "instances/InstanceList.h"
#include "model/Globals.h"
#include "model/Helpers.h"
#include "model/Messages.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "platform/RegistryFiles.h"
#include "settings/Config.h"
#include "settings/VersionInfo.h"

#include <QDate>
#include <QFileInfo>
#include <QLocale>
#include <memory>

namespace {

std::unique_ptr<TIniFile> g_ini;
TFormStateProvider g_formState;

const QString Information = QStringLiteral("Information");
const QString Options = QStringLiteral("Options");
const QString Paths = QStringLiteral("Paths");
const QString Form = QStringLiteral("Form");
const QString RecentFiles = QStringLiteral("Recent Files");
const QString InstancePathsSection = QStringLiteral("InstancePaths");
const QString InstanceColorsSection = QStringLiteral("InstanceColors");

QString rootName(TRegRoot root) {
    switch (root) {
    case TRegRoot::ClassesRoot:
        return QStringLiteral("HKEY_CLASSES_ROOT");
    case TRegRoot::CurrentUser:
        return QStringLiteral("HKEY_CURRENT_USER");
    case TRegRoot::LocalMachine:
        return QStringLiteral("HKEY_LOCAL_MACHINE");
    case TRegRoot::Users:
        return QStringLiteral("HKEY_USERS");
    }
    return QString();
}

TIniDocument currentSettings() {
    return g_ini ? g_ini->read() : TIniDocument();
}

} // namespace

int TodayDayNumber() {
    return int(QDate(1899, 12, 30).daysTo(CurrentDateTime().date()));
}

void SetFormStateProvider(TFormStateProvider provider) {
    g_formState = std::move(provider);
}

QString SettingsFilePath() {
    return SettingsDir + SettingsFileName;
}

TIniFile *SettingsFile() {
    return g_ini.get();
}

QString Reg_ReadValue(TRegRoot root, const QString &key, const QString &name) {
    QString path = key;
    while (path.startsWith(QLatin1Char('\\')))
        path.remove(0, 1);
    QString value;
    if (!LoadRegistry().readText(rootName(root) + QLatin1Char('\\') + path, name, &value))
        return QString();
    return value;
}

QString Reg_GetSpecialFolder(int folder) {
    TraceStep(QStringLiteral("Reg_GetSpecialFolder: ") + QString::number(folder));
    return SpecialFolderPath(folder);
}

void Reg_init() {
    TraceStep(QStringLiteral("Reg_init"));
    ProgramFilesDir = AddBackslash(Reg_ReadValue(
        TRegRoot::LocalMachine, QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion"),
        QStringLiteral("ProgramFilesDir")));
    if (ProgramFilesDir.isEmpty())
        ProgramFilesDir = QStringLiteral("/opt/");
    if (!QFileInfo(SettingsDir).isDir())
        CreateDirPath(SettingsDir);
    g_ini = std::make_unique<TIniFile>(SettingsFilePath());
}

void Reg_Close() {
    TraceStep(QStringLiteral("Reg_Close"));
    g_ini.reset();
}

void Reg_LoadConfig() {
    TraceStep(QStringLiteral("Reg_LoadConfig: ") + SettingsFilePath());
    const TIniDocument ini = currentSettings();
    TConfig &c = Config;

    c.Version = ini.readString(Information, QStringLiteral("Version"), QString());
    c.VersionNumber = ini.readInteger(Information, QStringLiteral("VersionNumber"), 400);
    c.Count = ini.readInteger(Information, QStringLiteral("Count"), 0);
    c.ShowSplash = ini.readBool(Options, QStringLiteral("ShowSplash"), true);
    c.ShowProgress = ini.readBool(Options, QStringLiteral("ShowProgress"), true);
    c.ShowMess = ini.readBool(Options, QStringLiteral("ShowMess"), true);
    c.Small = ini.readBool(Options, QStringLiteral("Small"), true);
    c.FirstRun = ini.readBool(Options, QStringLiteral("FirstRun"), true);
    c.InstallDate = ini.readInteger(Options, QStringLiteral("InstallDate"), TodayDayNumber());
    c.VelloranExeLocation = ini.readString(Paths, QStringLiteral("VelloranExeLocation"), QString());
    c.DefaultWorkingDir = ini.readString(Paths, QStringLiteral("DefaultWorkingDir"), QString());
    if (c.DefaultWorkingDir.isEmpty())
        c.DefaultWorkingDir = VelloranDataDir;
    c.Left = ini.readInteger(Form, QStringLiteral("Left"), 60);
    c.Top = ini.readInteger(Form, QStringLiteral("Top"), 60);
    c.Width = ini.readInteger(Form, QStringLiteral("Width"), 1119);
    c.Height = ini.readInteger(Form, QStringLiteral("Height"), 698);
    c.Maximized = ini.readBool(Form, QStringLiteral("Maximized"), false);
    c.ProgressLeft = ini.readInteger(Form, QStringLiteral("ProgressLeft"), -1);
    c.ProgressTop = ini.readInteger(Form, QStringLiteral("ProgressTop"), -1);

    c.Scheduled = false;
    c.ScheduleKindLastUsed = ini.readInteger(Options, QStringLiteral("Schedule_TypeLastUsed"), 1);
    c.ScheduleKind = c.ScheduleKindLastUsed;
    c.ScheduleMinutesLastUsed =
        ini.readInteger(Options, QStringLiteral("Schedule_MinutesLastUsed"), 60);
    c.ScheduleMinutes = c.ScheduleMinutesLastUsed;
    c.ScheduleStartDate = 0;
    c.ScheduleStartTime = 0;
    c.ScheduleTaskName.clear();

    if (InstancePaths && InstanceColors) {
        *InstancePaths = ini.readSectionValues(InstancePathsSection);
        *InstanceColors = ini.readSectionValues(InstanceColorsSection);
        if (!CompleteInstanceLists(*InstancePaths, *InstanceColors))
            ShowErrorMessage(9);
    }
}

void Reg_SaveConfig() {
    TraceStep(QStringLiteral("Reg_SaveConfig"));
    if (ExecuteMode || !g_ini) {
        TraceStep(QStringLiteral("Reg_SaveConfig end"));
        return;
    }
    const TConfig &c = Config;
    TFormState form;
    if (g_formState) {
        form = g_formState();
    } else {
        form.maximized = c.Maximized;
        form.left = c.Left;
        form.top = c.Top;
        form.width = c.Width;
        form.height = c.Height;
    }
    const QLocale locale = QLocale::system();
    const QDateTime now = CurrentDateTime();
    const QString time = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                         locale.toString(now.time(), QLocale::LongFormat);
    const TVersionInfo &v = VersionInfo;

    g_ini->Update([&](TIniDocument &ini) {
        ini.writeString(
            Information, QStringLiteral("Version"),
            QStringLiteral("%1 %2 - %3").arg(v.ProductName, v.ProductVersion, v.FileVersion));
        ini.writeInteger(Information, QStringLiteral("VersionNumber"), SettingsVersionNumber);
        ini.writeString(Information, QStringLiteral("GetTarnwickAt"), GetTarnwickAt);
        ini.writeString(Information, QStringLiteral("Time"), time);
        ini.writeInteger(Information, QStringLiteral("Count"), c.Count);
        ini.writeBool(Options, QStringLiteral("ShowSplash"), c.ShowSplash);
        ini.writeBool(Options, QStringLiteral("ShowProgress"), c.ShowProgress);
        ini.writeBool(Options, QStringLiteral("ShowMess"), c.ShowMess);
        ini.writeBool(Options, QStringLiteral("Small"), c.Small);
        ini.writeBool(Options, QStringLiteral("FirstRun"), false);
        ini.writeInteger(Options, QStringLiteral("InstallDate"), c.InstallDate);
        ini.writeString(Paths, QStringLiteral("VelloranExeLocation"), c.VelloranExeLocation);
        ini.writeString(Paths, QStringLiteral("DefaultWorkingDir"), c.DefaultWorkingDir);
        if (form.maximized) {
            ini.writeBool(Form, QStringLiteral("Maximized"), true);
        } else {
            ini.writeInteger(Form, QStringLiteral("Left"), form.left);
            ini.writeInteger(Form, QStringLiteral("Top"), form.top);
            ini.writeInteger(Form, QStringLiteral("Width"), form.width);
            ini.writeInteger(Form, QStringLiteral("Height"), form.height);
            ini.writeBool(Form, QStringLiteral("Maximized"), false);
        }
        ini.writeInteger(Form, QStringLiteral("ProgressLeft"), c.ProgressLeft);
        ini.writeInteger(Form, QStringLiteral("ProgressTop"), c.ProgressTop);
        for (int i = 0; i < form.columnWidths.size(); ++i)
            ini.writeInteger(Form, QStringLiteral("Column") + QString::number(i),
                             form.columnWidths[i]);
        ini.writeInteger(Options, QStringLiteral("Schedule_TypeLastUsed"), c.ScheduleKindLastUsed);
        ini.writeInteger(Options, QStringLiteral("Schedule_MinutesLastUsed"),
                         c.ScheduleMinutesLastUsed);

        // Keys of a longer earlier list stay; the reader skips files that are gone.
        for (int i = 0; i < form.recentFiles.size(); ++i)
            ini.writeString(RecentFiles, QString::number(i), form.recentFiles[i]);

        ini.eraseSection(InstancePathsSection);
        ini.eraseSection(InstanceColorsSection);
        if (InstancePaths && InstanceColors)
            for (int i = 0; i < InstancePaths->size(); ++i) {
                const QString &p = InstancePaths->at(i);
                ini.writeString(InstancePathsSection, InstanceLineName(p), InstanceLineValue(p));
                if (i < InstanceColors->size()) {
                    const QString &col = InstanceColors->at(i);
                    ini.writeString(InstanceColorsSection, InstanceLineName(col),
                                    InstanceLineValue(col));
                }
            }
    });
    TraceStep(QStringLiteral("Reg_SaveConfig end"));
}

QList<int> Reg_ReadColumnWidths(const QList<int> &designWidths) {
    const TIniDocument ini = currentSettings();
    QList<int> widths;
    for (int i = 0; i < designWidths.size(); ++i)
        widths.append(
            ini.readInteger(Form, QStringLiteral("Column") + QString::number(i), designWidths[i]));
    return widths;
}

QStringList Reg_ReadRecentFiles() {
    const TIniDocument ini = currentSettings();
    QStringList files;
    for (int i = 8; i >= 0; --i) {
        const QString path = ini.readString(RecentFiles, QString::number(i), QString());
        const QFileInfo fi(path);
        if (!path.isEmpty() && fi.exists() && !fi.isDir())
            files.append(path);
    }
    return files;
}
