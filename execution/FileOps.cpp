#include "execution/FileOps.h"

#include "model/Globals.h"
#include "model/Messages.h"
#include "platform/FileTree.h"

#include <QFileInfo>

namespace {

QStringList &workLines() {
    static QStringList spare; // only before the work objects exist
    return WorkList ? *WorkList : spare;
}

QString folderPart(const QString &path) {
    return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool wildcardMatch(const QList<uint> &name, const QList<uint> &mask) {
    qsizetype n = 0, m = 0;
    qsizetype starAt = -1, resumeAt = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starAt = m++;
            resumeAt = n;
        } else if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (starAt >= 0) {
            m = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

bool deleteTree(const QString &folder) {
    QList<FolderEntry> entries;
    ListOptions options;
    options.followLink = false;
    options.makeWritable = true;
    bool failed = !ListFolder(folder, &entries, options);
    const QString prefix = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    IFileRemoval &removal = FileRemoval();
    for (const FolderEntry &e : entries) {
        const QString path = prefix + e.name;
        const bool ok = e.kind == EntryKind::Folder ? deleteTree(path) : removal.removeFile(path);
        if (!ok)
            failed = true;
    }
    return !failed && removal.removeFolder(folder);
}

} // namespace

bool MatchesFileMask(const QString &name, const QString &mask) {
    if (mask.isEmpty() || mask == QLatin1String("*") || mask == QLatin1String("*.*"))
        return true;
    QString n = name;
    if (!n.contains(QLatin1Char('.')))
        n += QLatin1Char('.');
    return wildcardMatch(n.toCaseFolded().toUcs4(), mask.toCaseFolded().toUcs4());
}

bool BuildFileList(const QString &path, QStringList &list) {
    list.clear();
    const QString folder = folderPart(path);
    const QStringList masks = path.mid(folder.size()).split(QLatin1Char(';'));
    QList<FolderEntry> entries;
    if (!ListFolder(folder, &entries))
        return false;
    for (const FolderEntry &e : entries) {
        for (const QString &mask : masks) {
            if (MatchesFileMask(e.name, mask)) {
                list.append(e.name);
                break;
            }
        }
    }
    return true;
}

bool io_DeleteFiles(const QString &path) {
    TraceStep(QStringLiteral("io_DeleteFiles: ") + path);
    QStringList &lines = workLines();
    lines.clear();
    const QString folder = folderPart(path);
    QStringList names;
    BuildFileList(path, names);
    IFileRemoval &removal = FileRemoval();
    if (names.isEmpty()) {
        const EntryKind kind = EntryKindOf(path);
        if (kind == EntryKind::Missing || kind == EntryKind::Folder) {
            lines.append(QStringLiteral("File not found!"));
            return false;
        }
        if (removal.removeFile(path)) {
            lines.append(path + QStringLiteral(" deleted."));
            return true;
        }
        lines.append(QStringLiteral("Failed to delete ") + path +
                     QStringLiteral(" - file probably in use!"));
        return false;
    }
    for (const QString &name : names) {
        const QString item = folder + name;
        if (removal.removeFile(item))
            lines.append(item + QStringLiteral(" deleted."));
        else
            lines.append(QStringLiteral("Failed to delete ") + item +
                         QStringLiteral(" - file probably in use!"));
    }
    return !lines.join(QStringLiteral("\r\n")).contains(QLatin1String("Failed"));
}

bool DeleteDirectoryTree(const QString &folder) {
    // A trailing "/" would make the system follow a link in the last place.
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    switch (EntryKindOf(path)) {
    case EntryKind::Folder:
        return deleteTree(path);
    case EntryKind::Link:
        return QFileInfo(path).isDir() && FileRemoval().removeFile(path);
    default:
        return false;
    }
}
