#include "common/TestSupport.h"
#include "model/Globals.h"
#include "model/Helpers.h"
#include "platform/Clock.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestHelpers : public QObject {
    Q_OBJECT
private slots:
    void addBackslash_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("result");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("root") << "/" << "/";
        QTest::newRow("plain") << "/home/a" << "/home/a/";
        QTest::newRow("already") << "/home/a/" << "/home/a/";
        QTest::newRow("backslash is a character") << "a\\" << "a\\/";
    }
    void addBackslash() {
        QFETCH(QString, path);
        QFETCH(QString, result);
        QCOMPARE(AddBackslash(path), result);
    }

    void createDirPath() {
        QTemporaryDir dir(TestTempDir() + "/helpers-XXXXXX");
        const QString deep = dir.path() + "/a/b c/d/";
        CreateDirPath(deep);
        QVERIFY(QFileInfo(deep).isDir());
        CreateDirPath(deep); // existing: nothing happens
        // A parent that is a regular file: the failure is left to the caller.
        QFile f(dir.path() + "/file");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        CreateDirPath(dir.path() + "/file/sub");
        QVERIFY(!QFileInfo(dir.path() + "/file/sub").exists());
    }

    void waitEndsOnCancel() {
        ResetGlobals();
        QTimer::singleShot(50, [] { BatchCancelled = true; });
        const uint32_t start = TickCount();
        WaitWithMessages(5000);
        const uint32_t took = TickCount() - start;
        QVERIFY2(took < 2000, qPrintable(QString("took %1 ms").arg(took)));
        QVERIFY(took >= 40);
    }

    void waitRunsItsTime() {
        ResetGlobals();
        const uint32_t start = TickCount();
        WaitWithMessages(120);
        QVERIFY(TickCount() - start > 120);
    }
};

QTEST_GUILESS_MAIN(TestHelpers)
#include "tst_helpers.moc"
