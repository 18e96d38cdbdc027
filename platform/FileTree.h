#pragma once

#include <QList>
#include <QString>

// Folder listing and the removal of entries, without ever following a link by surprise.

enum class EntryKind { Missing, File, Folder, Link, Other };

struct FolderEntry {
    QString name;
    EntryKind kind; // as the entry itself is, a symbolic link being a Link
};

// What is at a path, a final symbolic link not followed.
EntryKind EntryKindOf(const QString &path);

struct ListOptions {
    bool followLink = true;    // false: a folder path that is itself a link is not listed
    bool makeWritable = false; // give the owner read, write and search rights on the folder first
};

// The entries of a folder except "." and "..", in the order the file system delivers
// them. False when the folder cannot be opened or read.
bool ListFolder(const QString &folder, QList<FolderEntry> *entries, ListOptions options = {});

// The calls that delete. Tests replace them with recorders, so that nothing a test
// does can remove files outside its own folder.
class IFileRemoval {
public:
    virtual ~IFileRemoval() = default;
    // Removes a file or a symbolic link (the link itself); never a folder.
    virtual bool removeFile(const QString &path) = 0;
    // Removes an empty folder; never follows a link.
    virtual bool removeFolder(const QString &path) = 0;
};

// unlink and rmdir.
class SystemFileRemoval : public IFileRemoval {
public:
    bool removeFile(const QString &path) override;
    bool removeFolder(const QString &path) override;
};

IFileRemoval &FileRemoval();
// Installs a replacement (not owned); nullptr returns to SystemFileRemoval.
void SetFileRemoval(IFileRemoval *removal);
