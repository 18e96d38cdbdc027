#include "FileOpsSupport.h"

#include "execution/FileOps.h"
#include "execution/WorkObjects.h"
#include "model/Globals.h"

#include <QtTest>
#include <sys/stat.h>

// The wildcard delete and the folder-tree delete. Every removal goes through a recorder
// that refuses anything outside the test's folder.
class TestDelete : public QObject {
    Q_OBJECT

    QString m_dir;

    static QStringList names(const QString &folder) {
        return QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    static int modeOf(const QString &path) {
        struct stat st {};
        return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777)
                                                                      : -1;
    }
    static void setMode(const QString &path, int mode) {
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), mode_t(mode)), 0);
    }

private slots:
    void initTestCase() { QVERIFY(data_GetMem()); }
    void cleanupTestCase() { data_FreeMem(); }
    void init() {
        m_dir = FreshFolder(QTest::currentTestFunction() +
                            QString(QTest::currentDataTag()).replace(' ', '_'));
    }

    void masks_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<bool>("match");
        QTest::newRow("star") << "anything.x"
                              << "*" << true;
        QTest::newRow("star dot star, no dot") << "README"
                                               << "*.*" << true;
        QTest::newRow("empty mask") << ".hidden"
                                    << "" << true;
        QTest::newRow("extension, other case") << "A.TMP"
                                               << "*.tmp" << true;
        QTest::newRow("other extension") << "a.tmpx"
                                         << "*.tmp" << false;
        QTest::newRow("dotless name vs same mask") << "abc"
                                                   << "abc" << false;
        QTest::newRow("dotless name vs star") << "abc"
                                              << "abc*" << true;
        QTest::newRow("dotless name vs star dot") << "abc"
                                                  << "*." << true;
        QTest::newRow("dotted name vs star dot") << "a.b"
                                                 << "*." << false;
        QTest::newRow("question mark is one") << "ab.txt"
                                              << "?.txt" << false;
        QTest::newRow("question marks") << "abc.TXT"
                                        << "a?c.txt" << true;
        QTest::newRow("star in middle") << "report-2024.bak"
                                        << "report*.bak" << true;
        QTest::newRow("backtracking") << "aXbXc.txt"
                                      << "a*b*c.txt" << true;
        QTest::newRow("no backtrack past end") << "abcab"
                                               << "*ab" << false;
        QTest::newRow("non-ascii case") << "ÄRGER.txt"
                                        << "ärger.*" << true;
    }
    void masks() {
        QFETCH(QString, name);
        QFETCH(QString, mask);
        QFETCH(bool, match);
        QCOMPARE(MatchesFileMask(name, mask), match);
    }

    void twoMasksAndMatchingFolder() {
        for (const char *n : {"a.tmp", "B.TMP", "c.bak", "keep.txt", "keep"})
            WriteBytes(m_dir + "/" + n, "x");
        QDir().mkpath(m_dir + "/sub.tmp");
        WriteBytes(m_dir + "/sub.tmp/inner.tmp", "x");
        RemovalRecorder rec(m_dir);
        QStringList listed;
        QVERIFY(BuildFileList(m_dir + "/*.tmp;*.bak", listed));
        listed.sort();
        QCOMPARE(listed, (QStringList{"B.TMP", "a.tmp", "c.bak", "sub.tmp"}));

        QVERIFY(!io_DeleteFiles(m_dir + "/*.tmp;*.bak"));
        QStringList lines = *WorkList;
        lines.sort();
        const QString d = m_dir + "/";
        QCOMPARE(lines,
                 (QStringList{d + "B.TMP deleted.", d + "a.tmp deleted.", d + "c.bak deleted.",
                              "Failed to delete " + d + "sub.tmp - file probably in use!"}));
        QCOMPARE(names(m_dir), (QStringList{"keep", "keep.txt", "sub.tmp"}));
        QCOMPARE(names(m_dir + "/sub.tmp"), QStringList{"inner.tmp"});
    }

    void twoMasksOnlyFiles() {
        for (const char *n : {"a.tmp", "c.bak", "keep.txt"})
            WriteBytes(m_dir + "/" + n, "x");
        RemovalRecorder rec(m_dir);
        QVERIFY(io_DeleteFiles(m_dir + "/*.tmp;*.bak"));
        QCOMPARE(WorkList->size(), 2);
        QCOMPARE(names(m_dir), QStringList{"keep.txt"});
    }

    void singleName_data() {
        QTest::addColumn<QString>("create");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("line");
        QTest::newRow("dotted name") << "a.txt"
                                     << "%D/a.txt" << true << "%D/a.txt deleted.";
        // A dotless name does not match its own mask; the exact file is deleted instead.
        QTest::newRow("dotless name") << "abc"
                                      << "%D/abc" << true << "%D/abc deleted.";
        QTest::newRow("missing") << ""
                                 << "%D/none.txt" << false << "File not found!";
        QTest::newRow("missing dotless") << ""
                                         << "%D/none" << false << "File not found!";
        QTest::newRow("a folder") << "dir/"
                                  << "%D/dir" << false << "File not found!";
        QTest::newRow("empty folder, empty mask") << "dir/"
                                                  << "%D/dir/" << false << "File not found!";
    }
    void singleName() {
        QFETCH(QString, create);
        QFETCH(QString, path);
        QFETCH(bool, ok);
        QFETCH(QString, line);
        path.replace("%D", m_dir);
        line.replace("%D", m_dir);
        if (create.endsWith('/'))
            QDir().mkpath(m_dir + "/" + create);
        else if (!create.isEmpty())
            WriteBytes(m_dir + "/" + create, "x");
        RemovalRecorder rec(m_dir);
        WorkList->append("left over");
        QCOMPARE(io_DeleteFiles(path), ok);
        QCOMPARE(*WorkList, QStringList{line});
        if (ok)
            QVERIFY(!QFileInfo::exists(path));
    }

    void removalRefused() {
        WriteBytes(m_dir + "/a.tmp", "x");
        RemovalRecorder rec(m_dir, false);
        QVERIFY(!io_DeleteFiles(m_dir + "/*.tmp"));
        QCOMPARE(rec.files, QStringList{m_dir + "/a.tmp"});
        QCOMPARE(*WorkList,
                 QStringList{"Failed to delete " + m_dir + "/a.tmp - file probably in use!"});
        QVERIFY(QFileInfo::exists(m_dir + "/a.tmp"));
    }

    void matchingLinkRemovedNotTarget() {
        const QString outside = FreshFolder("outside-delete");
        WriteBytes(outside + "/precious.tmp", "keep");
        QVERIFY(QFile::link(outside + "/precious.tmp", m_dir + "/alias.tmp"));
        QVERIFY(QFile::link(outside, m_dir + "/folderlink.tmp"));
        RemovalRecorder rec(TestTempDir());
        QVERIFY(io_DeleteFiles(m_dir + "/*.tmp"));
        QVERIFY(names(m_dir).isEmpty());
        QCOMPARE(ReadBytes(outside + "/precious.tmp"), QByteArray("keep"));
    }

    // Read-only files and folders, including one nobody may enter, are deleted.
    void treeWithReadOnlyFolders() {
        const QString top = m_dir + "/tree";
        WriteBytes(top + "/ro/file.txt", "x");
        WriteBytes(top + "/ro/deeper/file2.txt", "x");
        WriteBytes(top + "/closed/file3.txt", "x");
        WriteBytes(top + "/.hidden", "x");
        setMode(top + "/ro/file.txt", 0444);
        setMode(top + "/ro/deeper", 0555);
        setMode(top + "/ro", 0555);
        setMode(top + "/closed", 0000);
        {
            // Refused removals: nothing goes, but every folder was made writable first.
            RemovalRecorder rec(m_dir, false);
            QVERIFY(!DeleteDirectoryTree(top));
            QCOMPARE(modeOf(top + "/ro") & 0700, 0700);
            QCOMPARE(modeOf(top + "/ro/deeper") & 0700, 0700);
            QCOMPARE(modeOf(top + "/closed") & 0700, 0700);
            QCOMPARE(modeOf(top + "/ro/file.txt"), 0444);
            QVERIFY(rec.files.contains(top + "/closed/file3.txt"));
            QVERIFY(rec.folders.isEmpty()); // a folder goes only once its entries have
        }
        setMode(top + "/ro", 0555);
        setMode(top + "/closed", 0000);
        RemovalRecorder rec(m_dir);
        QVERIFY(DeleteDirectoryTree(top));
        QVERIFY(!QFileInfo::exists(top));
        QCOMPARE(rec.folders.last(), top);
    }

    // Links inside the tree are removed as links; what they point to stays.
    void treeWithLinksToOutside() {
        const QString outside = FreshFolder("outside-tree");
        WriteBytes(outside + "/data/precious.txt", "keep");
        WriteBytes(outside + "/single.txt", "keep");
        const QString top = m_dir + "/tree";
        WriteBytes(top + "/own.txt", "x");
        QDir().mkpath(top + "/sub");
        QVERIFY(QFile::link(outside + "/data", top + "/sub/folderlink"));
        QVERIFY(QFile::link(outside + "/single.txt", top + "/filelink"));
        QVERIFY(QFile::link(top, top + "/sub/loop"));
        QVERIFY(QFile::link(m_dir + "/nowhere", top + "/dangling"));
        RemovalRecorder rec(m_dir);
        QVERIFY(DeleteDirectoryTree(top));
        QVERIFY(!QFileInfo::exists(top));
        QCOMPARE(ReadBytes(outside + "/data/precious.txt"), QByteArray("keep"));
        QCOMPARE(ReadBytes(outside + "/single.txt"), QByteArray("keep"));
        for (const QString &p : rec.files + rec.folders)
            QVERIFY2(p.startsWith(top + "/") || p == top, qPrintable(p));
    }

    void treeGivenAsLink() {
        const QString outside = FreshFolder("outside-given");
        WriteBytes(outside + "/precious.txt", "keep");
        QVERIFY(QFile::link(outside, m_dir + "/link"));
        RemovalRecorder rec(m_dir);
        QVERIFY(DeleteDirectoryTree(m_dir + "/link"));
        QCOMPARE(EntryKindOf(m_dir + "/link"), EntryKind::Missing);
        QCOMPARE(ReadBytes(outside + "/precious.txt"), QByteArray("keep"));
        QVERIFY(QFile::link(outside, m_dir + "/link2"));
        QVERIFY(DeleteDirectoryTree(m_dir + "/link2/")); // a trailing "/" must not follow it
        QCOMPARE(ReadBytes(outside + "/precious.txt"), QByteArray("keep"));
        QCOMPARE(rec.files, (QStringList{m_dir + "/link", m_dir + "/link2"}));
    }

    void treeNotAFolder_data() {
        QTest::addColumn<QString>("what");
        QTest::newRow("missing") << "missing";
        QTest::newRow("a file") << "file";
        QTest::newRow("a link to a file") << "filelink";
        QTest::newRow("a dangling link") << "dangling";
    }
    void treeNotAFolder() {
        QFETCH(QString, what);
        WriteBytes(m_dir + "/file", "x");
        QVERIFY(QFile::link(m_dir + "/file", m_dir + "/filelink"));
        QVERIFY(QFile::link(m_dir + "/nowhere", m_dir + "/dangling"));
        RemovalRecorder rec(m_dir);
        QVERIFY(!DeleteDirectoryTree(m_dir + "/" + what));
        QVERIFY(rec.files.isEmpty() && rec.folders.isEmpty());
    }

    // One entry that cannot go (kept open elsewhere): the rest goes, it and its folders stay.
    void treeWithEntryKept() {
        const QString top = m_dir + "/tree";
        WriteBytes(top + "/a/b/kept.txt", "x");
        WriteBytes(top + "/a/b/other.txt", "x");
        WriteBytes(top + "/a/c/x.txt", "x");
        WriteBytes(top + "/z.txt", "x");
        RemovalRecorder rec(m_dir);
        rec.refuse << top + "/a/b/kept.txt";
        QVERIFY(!DeleteDirectoryTree(top));
        QCOMPARE(names(top), QStringList{"a"});
        QCOMPARE(names(top + "/a"), QStringList{"b"});
        QCOMPARE(names(top + "/a/b"), QStringList{"kept.txt"});
    }
};

QTEST_GUILESS_MAIN(TestDelete)
#include "tst_delete.moc"
