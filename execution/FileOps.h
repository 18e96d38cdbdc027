#pragma once

#include <QString>
#include <QStringList>

// Whether a file name matches one mask: "*", "*.*" and the empty mask match every
// name; otherwise a name without a dot is matched as if it ended with one, "*" stands
// for any run of characters, "?" for exactly one, and letter case does not count.
bool MatchesFileMask(const QString &name, const QString &mask);

// The names of the entries of the path's folder (everything up to its last "/") that
// match at least one of the ";"-separated masks of its last part, each listed once, in
// the order the file system delivers them; "." and ".." never. Files, folders and links
// alike. Returns false when the folder cannot be read (the list is then empty).
bool BuildFileList(const QString &path, QStringList &list);

// Deletes the entries that match the path (see BuildFileList), each as a file, or the
// one file the path names when nothing matches. Clears WorkList first and records one
// line per entry there. True when nothing failed.
bool io_DeleteFiles(const QString &path);

// Deletes a folder with everything in it; the folder is given without a trailing "/".
// Entries are removed as they are: a symbolic link is removed as a link and never
// followed, so nothing outside the folder is touched. Each folder is made writable for
// its owner before its entries are removed. A failure is remembered and the rest is
// still deleted; the folder itself is removed only when everything in it was. True when
// the folder was removed; false for a folder that does not exist. A folder path that is
// itself a link to a folder removes that link only.
bool DeleteDirectoryTree(const QString &folder);
