#pragma once

#include "common/TestSupport.h"
#include "execution/ProgressView.h"
#include "platform/FileTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTest>

// Stands in for the progress window; keeps the memo's lines.
class MemoRecorder : public IProgressView {
public:
    bool isShown() const override { return shown; }
    void showWindow() override { shown = true; }
    void bringToFront() override {}
    void repaintNow() override {}
    void setGaugeMax(int) override {}
    int gaugeProgress() const override { return 0; }
    void setGaugeProgress(int) override {}
    void addMemoLine(const QString &line) override { lines << line; }
    void setButtonCaption(const QString &) override {}
    void raiseTopmost() override {}
    void hideWindow() override { shown = false; }
    void closeWindow() override { shown = false; }

    bool shown = false;
    QStringList lines;
};

// Installs itself as the progress window for its lifetime.
class MemoInstall {
public:
    MemoInstall() {
        ResetProgressForm();
        SetProgressFormFactory([this]() -> IProgressView * { return &memo; });
        CreateProgressForm();
    }
    ~MemoInstall() {
        ResetProgressForm();
        SetProgressFormFactory(nullptr);
    }
    MemoRecorder memo;
};

// Records every removal and carries out only those inside `root`; anything else is
// refused, so a wrong path can never delete outside the test's folder. Paths listed in
// `refuse` fail as a file kept open by another program would.
class RemovalRecorder : public IFileRemoval {
public:
    explicit RemovalRecorder(const QString &root, bool perform = true)
        : m_root(QFileInfo(root).canonicalFilePath() + QLatin1Char('/')), m_perform(perform) {
        SetFileRemoval(this);
    }
    ~RemovalRecorder() override { SetFileRemoval(nullptr); }

    bool removeFile(const QString &path) override {
        files << path;
        if (!allowed(path))
            return false;
        return m_system.removeFile(path);
    }
    bool removeFolder(const QString &path) override {
        folders << path;
        if (!allowed(path))
            return false;
        return m_system.removeFolder(path);
    }
    bool inside(const QString &path) const {
        const QFileInfo fi(path);
        const QString parent = QFileInfo(fi.absolutePath()).canonicalFilePath();
        return !parent.isEmpty() && (parent + QLatin1Char('/')).startsWith(m_root) &&
               (parent + QLatin1Char('/') + fi.fileName()) != m_root.chopped(1);
    }

    QStringList files;
    QStringList folders;
    QStringList refuse;

private:
    bool allowed(const QString &path) const {
        return m_perform && inside(path) && !refuse.contains(path);
    }
    QString m_root;
    bool m_perform;
    SystemFileRemoval m_system;
};

inline void WriteBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(f.write(bytes), bytes.size());
}

inline QByteArray ReadBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A fresh folder of its own under the test's temporary folder.
inline QString FreshFolder(const QString &name) {
    const QString dir = TestTempDir() + QLatin1Char('/') + name;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return dir;
}
