#pragma once

#include <QString>

// An exclusive advisory lock (flock) on a lock file, held for the object's
// lifetime. Cooperating processes that lock the same file take turns; others
// are not kept out. The lock file is created when missing and never removed,
// so that two processes always lock the same inode.
class TFileLock {
public:
    explicit TFileLock(const QString &lockPath);
    ~TFileLock();
    TFileLock(const TFileLock &) = delete;
    TFileLock &operator=(const TFileLock &) = delete;

    // False when the lock file could not be opened or locked; the reason is in error().
    bool locked() const { return m_fd >= 0; }
    QString error() const { return m_error; }

private:
    int m_fd = -1;
    QString m_error;
};
