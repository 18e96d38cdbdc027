#include "FileOpsSupport.h"

#include "execution/CopyUnit.h"
#include "execution/WorkObjects.h"
#include "model/Globals.h"
#include "platform/FileCopyKernel.h"
#include "platform/FileTree.h"
#include "settings/Config.h"

#include <QProcess>
#include <QScopeGuard>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

// Copies as a Copy job makes them: the work list cleared and filled, the memo shown.
class TestCopy : public QObject {
    Q_OBJECT

    QString m_dir;

    QStringList work() const { return WorkList ? *WorkList : QStringList(); }
    bool jobSucceeded() const { return !work().join("\r\n").contains("failed"); }
    static QStringList names(const QString &folder) {
        return QDir(folder).entryList(
            QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }
    // The entries' names in the order the file system delivers them.
    static QStringList deliveryOrder(const QString &folder) {
        QList<FolderEntry> entries;
        ListFolder(folder, &entries);
        QStringList order;
        for (const FolderEntry &e : entries)
            order << e.name;
        return order;
    }

private slots:
    void initTestCase() {
        QVERIFY(data_GetMem());
        QCOMPARE(FileCopier->LogList, WorkList);
        Config.ShowMess = true;
    }
    void cleanupTestCase() {
        data_FreeMem();
        QVERIFY(!FileCopier);
    }
    void init() {
        m_dir = FreshFolder(QTest::currentTestFunction() +
                            QString(QTest::currentDataTag()).replace(' ', '_'));
        SetKernelCopyEnabled(true);
    }

    void singleFile_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("copied");
        QTest::addColumn<QStringList>("memo");
        // %D is the test's folder.
        QTest::newRow("new file") << ""
                                  << "%D/a.txt"
                                  << "%D/b.txt" << true << QStringList();
        QTest::newRow("over older file") << "old"
                                         << "%D/a.txt"
                                         << "%D/b.txt" << true << QStringList();
        QTest::newRow("onto itself")
            << ""
            << "%D/a.txt"
            << "%D/a.txt" << false << QStringList{"Error! I can't copy %D/a.txt on itself"};
        QTest::newRow("onto a folder")
            << "folder"
            << "%D/a.txt"
            << "%D/dir/" << false << QStringList{"Error on creating %D/dir/"};
        QTest::newRow("onto a folder without slash")
            << "folder"
            << "%D/a.txt"
            << "%D/dir" << false << QStringList{"Error on creating %D/dir"};
        QTest::newRow("missing source")
            << ""
            << "%D/none.txt"
            << "%D/b.txt" << false
            << QStringList{"%D/none.txt missing or corrupted or opened for exclusive use"};
        QTest::newRow("folder as source")
            << "folder"
            << "%D/dir"
            << "%D/b.txt" << false
            << QStringList{"%D/dir missing or corrupted or opened for exclusive use"};
        QTest::newRow("question mark is no pattern")
            << ""
            << "%D/?.txt"
            << "%D/b.txt" << false
            << QStringList{"%D/?.txt missing or corrupted or opened for exclusive use"};
    }
    void singleFile() {
        QFETCH(QString, setup);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(bool, copied);
        QFETCH(QStringList, memo);
        source.replace("%D", m_dir);
        target.replace("%D", m_dir);
        memo.replaceInStrings("%D", m_dir);
        const QByteArray content(700000, 'x'); // more than one buffer
        WriteBytes(m_dir + "/a.txt", content);
        if (setup == "old")
            WriteBytes(m_dir + "/b.txt", "old");
        if (setup == "folder")
            QDir().mkpath(m_dir + "/dir");
        MemoInstall window;
        io_CopyFile(source, target, true);
        const QString outcome = copied ? source + " ... copied." : "failed to copy: " + source;
        memo << outcome;
        if (!copied)
            memo << "Execution failed :" + source + " -> " + target;
        QCOMPARE(window.memo.lines, memo);
        QCOMPARE(work(), QStringList{outcome});
        QCOMPARE(jobSucceeded(), copied);
        if (copied)
            QCOMPARE(ReadBytes(target), content);
        QCOMPARE(ReadBytes(m_dir + "/a.txt"), content);
        // No temporary file is ever left beside the target.
        for (const QString &n : names(QFileInfo(target).absolutePath()))
            QVERIFY2(!n.contains(".tw-"), qPrintable(n));
    }

    void missingNames_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("memo");
        QTest::newRow("no source") << ""
                                   << "x"
                                   << "I can't copy, Source File name missing";
        QTest::newRow("no target") << "x"
                                   << ""
                                   << "I can't copy, Target File name missing";
    }
    void missingNames() {
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, memo);
        WorkList->append("left over");
        MemoInstall window;
        io_CopyFile(source, target, true);
        QCOMPARE(window.memo.lines, QStringList{memo});
        QVERIFY(work().isEmpty());
        QVERIFY(jobSucceeded());
    }

    void messagesOff() {
        WriteBytes(m_dir + "/a.txt", "a");
        Config.ShowMess = false;
        MemoInstall window;
        io_CopyFile(m_dir + "/a.txt", m_dir + "/a.txt", true);
        Config.ShowMess = true;
        QVERIFY(window.memo.lines.isEmpty());
        QCOMPARE(work(), QStringList{"failed to copy: " + m_dir + "/a.txt"});
    }

    void createsTargetFolder() {
        WriteBytes(m_dir + "/a.txt", "a");
        MemoInstall window;
        io_CopyFile(m_dir + "/a.txt", m_dir + "/new/deeper/a.txt", true);
        QCOMPARE(ReadBytes(m_dir + "/new/deeper/a.txt"), QByteArray("a"));
        QCOMPARE(window.memo.lines.size(), 2);
        QVERIFY(window.memo.lines[0].endsWith(": Creating Directory " + m_dir + "/new/deeper/..."));
    }

    void pattern() {
        WriteBytes(m_dir + "/src/a.txt", "a");
        WriteBytes(m_dir + "/src/B.TXT", "b");
        WriteBytes(m_dir + "/src/c.log", "c");
        WriteBytes(m_dir + "/src/sub/d.txt", "d");
        WriteBytes(m_dir + "/src/sub/e.log", "e");
        QDir().mkpath(m_dir + "/src/empty.txt");
        QDir().mkpath(m_dir + "/dst");
        MemoInstall window;
        io_CopyFile(m_dir + "/src/*.txt", m_dir + "/dst/", true);
        QVERIFY(jobSucceeded());
        QCOMPARE(names(m_dir + "/dst"), (QStringList{"B.TXT", "a.txt", "empty.txt"}));
        QStringList expected{m_dir + "/src/a.txt ... copied.", m_dir + "/src/B.TXT ... copied."};
        QStringList got = work();
        got.sort();
        expected.sort();
        QCOMPARE(got, expected);
        QVERIFY(window.memo.lines == work());

        // "*" reaches into the subfolders; a folder matching the mask is entered too.
        io_CopyFile(m_dir + "/src/*", m_dir + "/all/", true);
        QVERIFY(jobSucceeded());
        QCOMPARE(names(m_dir + "/all"),
                 (QStringList{"B.TXT", "a.txt", "c.log", "empty.txt", "sub"}));
        QCOMPARE(names(m_dir + "/all/sub"), (QStringList{"d.txt", "e.log"}));
        QCOMPARE(ReadBytes(m_dir + "/all/sub/e.log"), QByteArray("e"));
        QCOMPARE(work().size(), 5);
    }

    void patternWithoutMatch() {
        WriteBytes(m_dir + "/src/a.txt", "a");
        QDir().mkpath(m_dir + "/dst");
        MemoInstall window;
        io_CopyFile(m_dir + "/src/*.none", m_dir + "/dst/", true);
        QVERIFY(work().isEmpty());
        QVERIFY(window.memo.lines.isEmpty());
        QVERIFY(jobSucceeded());
    }

    // Copying a folder into its own subfolder: the guard stops it, and the job fails.
    void folderRecursion() {
        for (const char *n : {"f1", "f2", "f3"})
            WriteBytes(m_dir + "/src/" + n, n);
        QDir().mkpath(m_dir + "/src/inner");
        const QStringList order = deliveryOrder(m_dir + "/src");
        const QString firstFolder = "inner";
        const QStringList before = order.mid(0, order.indexOf(firstFolder));
        MemoInstall window;
        io_CopyFile(m_dir + "/src/*.*", m_dir + "/src/inner/", true);
        QVERIFY(window.memo.lines.contains("ERROR : folder recursion, Can't copy !"));
        QVERIFY(window.memo.lines.contains("Execution failed :" + m_dir + "/src/*.* -> " + m_dir +
                                           "/src/inner/"));
        QStringList copied;
        for (const QString &n : before)
            copied << m_dir + "/src/" + n + " ... copied.";
        QCOMPARE(work(), copied + QStringList{"failed to copy: " + m_dir + "/src/inner"});
        QCOMPARE(names(m_dir + "/src/inner"), [&] {
            QStringList s = before;
            s.sort();
            return s;
        }());
        QVERIFY(!jobSucceeded());
    }

    // The third entry cannot be read (root reads any file, so it is a dangling link):
    // the ones before it are copied, the rest of the folder is not.
    void thirdFileUnreadable() {
        for (const char *n : {"f1", "f2", "f3", "f4", "f5"})
            WriteBytes(m_dir + "/src/" + n, n);
        const QString third = deliveryOrder(m_dir + "/src").at(2);
        QFile::remove(m_dir + "/src/" + third);
        QVERIFY(QFile::link(m_dir + "/nowhere", m_dir + "/src/" + third));
        const QStringList order = deliveryOrder(m_dir + "/src");
        const int bad = order.indexOf(third);
        MemoInstall window;
        io_CopyFile(m_dir + "/src/*", m_dir + "/dst/", true);
        QStringList expected;
        for (int i = 0; i < bad; ++i)
            expected << m_dir + "/src/" + order[i] + " ... copied.";
        expected << "failed to copy: " + m_dir + "/src/" + third;
        QCOMPARE(work(), expected);
        QVERIFY(window.memo.lines.contains(m_dir + "/src/" + third +
                                           " missing or corrupted or opened for exclusive use"));
        QCOMPARE(names(m_dir + "/dst").size(), bad);
        QVERIFY(!jobSucceeded());
    }

    // A link to a folder is never entered: a link loop ends, and the link is reported.
    void linkedFolderNotEntered() {
        WriteBytes(m_dir + "/src/file", "f");
        QVERIFY(QFile::link(m_dir + "/src", m_dir + "/src/loop"));
        io_CopyFile(m_dir + "/src/loop", m_dir + "/dst/loop", true);
        QCOMPARE(work(), QStringList{"failed to copy: " + m_dir + "/src/loop"});
        QDir(m_dir + "/src").remove("file");
        io_CopyFile(m_dir + "/src/*", m_dir + "/dst/", true);
        QCOMPARE(work(), QStringList{"failed to copy: " + m_dir + "/src/loop"});
        QCOMPARE(EntryKindOf(m_dir + "/dst/loop"), EntryKind::Missing);
    }

    void linkedFileCopiedAsFile() {
        WriteBytes(m_dir + "/real", "content");
        QDir().mkpath(m_dir + "/src");
        QVERIFY(QFile::link(m_dir + "/real", m_dir + "/src/alias"));
        io_CopyFile(m_dir + "/src/*", m_dir + "/dst/", true);
        QVERIFY(jobSucceeded());
        QCOMPARE(EntryKindOf(m_dir + "/dst/alias"), EntryKind::File);
        QCOMPARE(ReadBytes(m_dir + "/dst/alias"), QByteArray("content"));
    }

    // Another spelling of the same file must not truncate it.
    void sameFileByAnotherName() {
        const QByteArray content(100000, 'q');
        WriteBytes(m_dir + "/a.bin", content);
        io_CopyFile(m_dir + "/./a.bin", m_dir + "/a.bin", true);
        QVERIFY(jobSucceeded());
        QCOMPARE(ReadBytes(m_dir + "/a.bin"), content);
    }

    void overwriteKeepsPermissions() {
        WriteBytes(m_dir + "/a", "new");
        WriteBytes(m_dir + "/b", "old");
        QVERIFY(::chmod(QFile::encodeName(m_dir + "/b").constData(), 0640) == 0);
        io_CopyFile(m_dir + "/a", m_dir + "/b", true);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(m_dir + "/b").constData(), &st), 0);
        QCOMPARE(int(st.st_mode & 07777), 0640);
        QCOMPARE(ReadBytes(m_dir + "/b"), QByteArray("new"));
    }

    void deviceTargetWrittenInPlace_data() {
        QTest::addColumn<bool>("kernel");
        QTest::newRow("kernel copy") << true;
        QTest::newRow("buffer loop") << false;
    }
    void deviceTargetWrittenInPlace() {
        QFETCH(bool, kernel);
        SetKernelCopyEnabled(kernel);
        WriteBytes(m_dir + "/a", QByteArray(600000, 'z'));
        io_CopyFile(m_dir + "/a", "/dev/null", true);
        QCOMPARE(work(), QStringList{m_dir + "/a ... copied."});
        struct stat st {};
        QCOMPARE(::stat("/dev/null", &st), 0);
        QVERIFY(S_ISCHR(st.st_mode));
    }

    // A 4 MiB file onto a 1 MiB file system: the write error, nothing new left behind,
    // the older target intact.
    void fullDisk_data() {
        QTest::addColumn<bool>("kernel");
        QTest::addColumn<bool>("older");
        QTest::newRow("kernel copy, older target") << true << true;
        QTest::newRow("kernel copy, no target") << true << false;
        QTest::newRow("buffer loop, older target") << false << true;
        QTest::newRow("buffer loop, no target") << false << false;
    }
    void fullDisk() {
        QFETCH(bool, kernel);
        QFETCH(bool, older);
        if (::geteuid() != 0)
            QSKIP("mounting a small file system needs root");
        const QString mnt = m_dir + "/small";
        QDir().mkpath(mnt);
        const QString tag =
            QStringLiteral("tw-fulldisk-%1").arg(QCoreApplication::applicationPid());
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m", tag, mnt}) != 0)
            QSKIP("cannot mount a 1 MiB tmpfs here");
        auto unmount = qScopeGuard([&] { QProcess::execute("umount", {mnt}); });
        SetKernelCopyEnabled(kernel);
        QByteArray big(4 << 20, '\0');
        for (int i = 0; i < big.size(); ++i)
            big[i] = char(i * 131 + (i >> 12));
        WriteBytes(m_dir + "/big.bin", big);
        const QString target = mnt + "/big.bin";
        const QByteArray old(300000, 'o');
        if (older)
            WriteBytes(target, old);
        MemoInstall window;
        io_CopyFile(m_dir + "/big.bin", target, true);
        QCOMPARE(window.memo.lines.value(0), "Write error on " + target + ", copy failed.");
        QCOMPARE(work(), QStringList{"failed to copy: " + m_dir + "/big.bin"});
        QVERIFY(!jobSucceeded());
        QCOMPARE(names(mnt), older ? QStringList{"big.bin"} : QStringList());
        if (older)
            QCOMPARE(ReadBytes(target), old);
    }
};

QTEST_GUILESS_MAIN(TestCopy)
#include "tst_copy.moc"
