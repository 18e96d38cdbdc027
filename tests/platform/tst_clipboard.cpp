#include "execution/WorkObjects.h"
#include "helpers/HelperProcesses.h"
#include "platform/Clipboard.h"

#include <QtTest>

#include <cstring>

class TestClipboard : public QObject {
    Q_OBJECT
    QByteArray display, wayland, path;

private slots:
    void init() {
        display = qgetenv("DISPLAY");
        wayland = qgetenv("WAYLAND_DISPLAY");
        path = qgetenv("PATH");
    }
    void cleanup() {
        auto restore = [](const char *name, const QByteArray &value) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        };
        restore("DISPLAY", display);
        restore("WAYLAND_DISPLAY", wayland);
        restore("PATH", path);
    }

    void unreachable_data() {
        QTest::addColumn<QByteArray>("x11");
        QTest::addColumn<QByteArray>("waylandName");
        QTest::addColumn<bool>("emptyPath");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no display") << QByteArray() << QByteArray() << false << "no display";
        QTest::newRow("xclip missing") << QByteArray(":9999") << QByteArray() << true << "xclip";
        QTest::newRow("wl-copy missing")
            << QByteArray() << QByteArray("wayland-9") << true << "wl-copy";
    }
    void unreachable() {
        QFETCH(QByteArray, x11);
        QFETCH(QByteArray, waylandName);
        QFETCH(bool, emptyPath);
        QFETCH(QString, reason);
        x11.isEmpty() ? qunsetenv("DISPLAY") : qputenv("DISPLAY", x11);
        waylandName.isEmpty() ? qunsetenv("WAYLAND_DISPLAY")
                              : qputenv("WAYLAND_DISPLAY", waylandName);
        if (emptyPath)
            qputenv("PATH", helpers::testTmp().toLocal8Bit() + "/empty-bin");
        TClipboardAccess clipboard;
        QString error;
        QVERIFY(!clipboard.SetText("text", &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
    }

    void displayThatCannotBeOpened() {
        if (QStandardPaths::findExecutable("xclip").isEmpty())
            QSKIP("xclip is not installed");
        qunsetenv("WAYLAND_DISPLAY");
        qputenv("DISPLAY", ":9999");
        TClipboardAccess clipboard;
        QString error;
        QVERIFY(!clipboard.SetText("text", &error));
        QVERIFY(!error.isEmpty());
    }

    // The text stays on the clipboard after the process that put it there has ended.
    void outlivesTheSetter_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << "Hello from Tarnwick";
        QTest::newRow("non-ASCII") << QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                        "e \xe2\x9c\x93");
        QTest::newRow("several lines") << "one\ntwo\n";
        QTest::newRow("empty") << "";
    }
    void outlivesTheSetter() {
        QFETCH(QString, text);
        if (display.isEmpty())
            QSKIP("needs an X display (DISPLAY is unset)");
        const QString xclip = QStandardPaths::findExecutable("xclip");
        if (xclip.isEmpty())
            QSKIP("xclip is not installed");
        qunsetenv("WAYLAND_DISPLAY");
        QProcess setter;
        setter.start(QCoreApplication::applicationFilePath(), {"--set-clipboard", text});
        QVERIFY(setter.waitForFinished(10000));
        QCOMPARE(setter.exitCode(), 0);
        QProcess reader;
        reader.start(xclip, {"-o", "-selection", "clipboard"});
        QVERIFY(reader.waitForFinished(10000));
        QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()), text);
    }

    void workObjectLifetime() {
        QVERIFY(data_GetMem());
        QVERIFY(ClipboardAccess != nullptr);
        data_FreeMem();
        QVERIFY(ClipboardAccess == nullptr);
        data_FreeMem(); // twice is safe
    }
};

int main(int argc, char **argv) {
    if (argc == 3 && std::strcmp(argv[1], "--set-clipboard") == 0) {
        QCoreApplication app(argc, argv);
        TClipboardAccess clipboard;
        QString error;
        const bool ok = clipboard.SetText(QString::fromLocal8Bit(argv[2]), &error);
        if (!ok)
            fprintf(stderr, "%s\n", qPrintable(error));
        return ok ? 0 : 1;
    }
    QCoreApplication app(argc, argv);
    TestClipboard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_clipboard.moc"
