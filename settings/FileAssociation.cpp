#include "settings/FileAssociation.h"

#include "model/Messages.h"
#include "model/TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

QString dataHome() {
    const QString v = qEnvironmentVariable("XDG_DATA_HOME");
    return v.isEmpty() ? QDir::homePath() + QStringLiteral("/.local/share") : v;
}

QString configHome() {
    const QString v = qEnvironmentVariable("XDG_CONFIG_HOME");
    return v.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : v;
}

QString createKeyError(const QString &path) {
    return QStringLiteral("Failed to create key %1").arg(path);
}

QString setDataError(const QString &path) {
    return QStringLiteral("Failed to set data for '%1'").arg(path);
}

bool writeFile(const QString &path, const QByteArray &data, QString *error) {
    const QString folder = QFileInfo(path).absolutePath();
    QSaveFile f(path);
    if (!QDir().mkpath(folder) || !f.open(QIODevice::WriteOnly)) {
        *error = createKeyError(path);
        return false;
    }
    if (f.write(data) != data.size() || !f.commit()) {
        f.cancelWriting();
        *error = setDataError(path);
        return false;
    }
    return true;
}

// Lines of a desktop-entry style file; LF line ends, as the tools that read these expect.
QByteArray lfLines(const QStringList &lines) {
    return lines.join(QLatin1Char('\n')).toUtf8() + '\n';
}

QString groupName(const QString &line) {
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')) ? t.mid(1, t.size() - 2)
                                                                          : QString();
}

// Sets key=value in the group of a freedesktop key file, keeping everything else.
QStringList setKey(QStringList lines, const QString &group, const QString &key,
                   const QString &value) {
    int start = -1;
    int end = int(lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        const QString g = groupName(lines[i]);
        if (g.isEmpty())
            continue;
        if (start >= 0) {
            end = i;
            break;
        }
        if (g == group)
            start = i;
    }
    const QString entry = key + QLatin1Char('=') + value;
    if (start < 0) {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(QLatin1Char('[') + group + QLatin1Char(']'));
        lines.append(entry);
        return lines;
    }
    for (int i = start + 1; i < end; ++i) {
        const qsizetype eq = lines[i].indexOf(QLatin1Char('='));
        if (eq > 0 && lines[i].left(eq).trimmed() == key) {
            lines[i] = entry;
            return lines;
        }
    }
    int at = start;
    for (int i = start + 1; i < end; ++i)
        if (!lines[i].trimmed().isEmpty())
            at = i;
    lines.insert(at + 1, entry);
    return lines;
}

// Rebuilds a cache with its tool when the tool is installed.
bool runTool(const QString &tool, const QString &folder, QString *error) {
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return true;
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.start(exe, {folder});
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(1000);
        *error = setDataError(folder);
        return false;
    }
    return true;
}

} // namespace

QString DesktopExecArgument(const QString &arg) {
    QString quoted;
    for (const QChar c : arg) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted.replace(QLatin1Char('%'), QLatin1String("%%"));
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    // The value itself is a string of the key file, where a backslash is escaped too.
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return quoted;
}

bool RegisterFileAssociation(const QString &programPath, QString *error) {
    QString dummy;
    if (!error)
        error = &dummy;
    const QString mimeDir = dataHome() + QStringLiteral("/mime");
    const QString mimeFile = mimeDir + QStringLiteral("/packages/tarnwick.xml");
    const QString appsDir = dataHome() + QStringLiteral("/applications");
    const QString desktopFile = appsDir + QLatin1Char('/') + TarnwickDesktopFile;
    const QString mimeApps = configHome() + QStringLiteral("/mimeapps.list");
    const QString program = QFileInfo(programPath).absoluteFilePath();

    // Old files go first, so nothing that other software added under them survives.
    QFile::remove(mimeFile);
    QFile::remove(desktopFile);

    const QStringList mime = {
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"),
        QStringLiteral(
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">"),
        QStringLiteral("  <mime-type type=\"%1\">").arg(TarnwickMimeType),
        QStringLiteral("    <comment>Tarnwick Script</comment>"),
        QStringLiteral("    <icon name=\"tarnwick\"/>"),
        QStringLiteral("    <glob pattern=\"*.twk\"/>"),
        QStringLiteral("  </mime-type>"),
        QStringLiteral("</mime-info>"),
    };
    if (!writeFile(mimeFile, lfLines(mime), error))
        return false;

    const QString exec = DesktopExecArgument(program);
    const QStringList desktop = {
        QStringLiteral("[Desktop Entry]"),
        QStringLiteral("Type=Application"),
        QStringLiteral("Name=Tarnwick"),
        QStringLiteral("Comment=Run a Tarnwick batch"),
        QStringLiteral("Exec=%1 -execute %f").arg(exec),
        QStringLiteral("Icon=tarnwick"),
        QStringLiteral("MimeType=%1;").arg(TarnwickMimeType),
        QStringLiteral("Terminal=false"),
        QStringLiteral("NoDisplay=true"),
        QStringLiteral("Actions=Edit;"),
        QString(),
        QStringLiteral("[Desktop Action Edit]"),
        QStringLiteral("Name=Edit"),
        QStringLiteral("Exec=%1 -edit %f").arg(exec),
    };
    if (!writeFile(desktopFile, lfLines(desktop), error))
        return false;

    QStringList lists;
    if (QFileInfo::exists(mimeApps) && !ReadTextLines(mimeApps, lists)) {
        *error = setDataError(mimeApps);
        return false;
    }
    lists = setKey(lists, QStringLiteral("Default Applications"), TarnwickMimeType,
                   TarnwickDesktopFile);
    if (!writeFile(mimeApps, lfLines(lists), error))
        return false;

    if (!runTool(QStringLiteral("update-mime-database"), mimeDir, error))
        return false;
    return runTool(QStringLiteral("update-desktop-database"), appsDir, error);
}

bool settings_registerClick() {
    TraceStep(QStringLiteral("file_registerClick"));
    QString error;
    if (!RegisterFileAssociation(QCoreApplication::applicationFilePath(), &error)) {
        ShowErrorText(error);
        return false;
    }
    ShowInfoMessage(1);
    return true;
}
