#include "execution/ProgressView.h"
#include "model/Globals.h"
#include "model/Messages.h"
#include "settings/Config.h"
#include "ui/PmGauge.h"
#include "ui/ProgressFormUnit.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QtTest>

class TestProgressForm : public QObject {
    Q_OBJECT

    static QColor at(const QImage &image, int x, int y) { return QColor(image.pixel(x, y)); }
    static bool hasWhite(const QImage &image) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qRed(image.pixel(x, y)) > 200 && qGreen(image.pixel(x, y)) > 200 &&
                    qBlue(image.pixel(x, y)) > 200)
                    return true;
        return false;
    }

private slots:
    void init() {
        Config.ShowMess = true;
        Config.ProgressLeft = -1;
        Config.ProgressTop = -1;
        BatchCancelled = false;
    }

    void percentages_data() {
        QTest::addColumn<int>("min");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("progress");
        QTest::addColumn<int>("expectedProgress");
        QTest::addColumn<int>("percent");
        QTest::newRow("empty range") << 0 << 0 << 3 << 0 << 0;
        QTest::newRow("two of five") << 0 << 5 << 2 << 2 << 40;
        QTest::newRow("truncated") << 0 << 3 << 2 << 2 << 66;
        QTest::newRow("clamped high") << 0 << 5 << 9 << 5 << 100;
        QTest::newRow("clamped low") << 10 << 20 << -4 << 10 << 0;
        QTest::newRow("offset range") << 10 << 20 << 15 << 15 << 50;
        QTest::newRow("whole int range") << -2147483647 << 2147483647 << -1 << -1 << 49;
    }
    void percentages() {
        QFETCH(int, min);
        QFETCH(int, max);
        QFETCH(int, progress);
        QFETCH(int, expectedProgress);
        QFETCH(int, percent);
        TPmGauge g;
        g.setMaxValue(max);
        g.setMinValue(min);
        g.setProgress(progress);
        QCOMPARE(g.Progress(), expectedProgress);
        QCOMPARE(g.PercentDone(), percent);
    }

    void defaults() {
        TPmGauge g;
        QCOMPARE(g.MinValue(), 0);
        QCOMPARE(g.MaxValue(), 100);
        QCOMPARE(g.Progress(), 0);
        QVERIFY(g.ShowText());
        QCOMPARE(g.BorderStyle(), TPmGauge::bsSingle);
        QCOMPARE(g.size(), QSize(100, 100));
    }

    void rangeErrors() {
        TPmGauge g;
        g.setMinValue(10);
        g.setProgress(50);
        try {
            g.setMaxValue(5);
            QFAIL("no error");
        } catch (const EGaugeRangeError &e) {
            QCOMPARE(QString(e.what()), "Value must be between 11 and 2147483647");
        }
        try {
            g.setMinValue(101);
            QFAIL("no error");
        } catch (const EGaugeRangeError &e) {
            QCOMPARE(QString(e.what()), "Value must be between -2147483647 and 99");
        }
        QCOMPARE(g.MinValue(), 10);
        QCOMPARE(g.MaxValue(), 100);
        g.setMaxValue(10); // equal to the minimum is allowed
        QCOMPARE(g.Progress(), 10);
        g.setMaxValue(60);
        g.setProgress(40);
        g.setMinValue(45);
        QCOMPARE(g.Progress(), 45);
    }

    void paintsBarAndFrame() {
        TPmGauge g;
        g.resize(102, 18);
        g.setShowText(false);
        g.setForeColor(Qt::blue);
        g.setBackColor(Qt::green);
        g.setMaxValue(5);
        g.setProgress(2);
        const QImage img = g.render();
        const int w = 100;          // inner width
        const int a = w * 40 / 100; // bar end, exclusive
        QCOMPARE(at(img, 0, 0), QColor(Qt::black));
        QCOMPARE(at(img, 101, 17), QColor(Qt::black));
        QCOMPARE(at(img, 1, 1), QColor(Qt::blue));
        QCOMPARE(at(img, a - 1, 16), QColor(Qt::blue));
        QCOMPARE(at(img, a, 9), QColor(Qt::green));
        QCOMPARE(at(img, 100, 9), QColor(Qt::green));

        g.setBorderStyle(TPmGauge::bsNone);
        const QImage plain = g.render();
        QCOMPARE(at(plain, 0, 0), QColor(Qt::blue));
        QCOMPARE(at(plain, 101, 17), QColor(Qt::green));
    }

    void label_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("max");
        QTest::addColumn<int>("progress");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("wide bar") << 470 << 5 << 2 << true;
        QTest::newRow("maximum 0") << 470 << 0 << 0 << false;
        QTest::newRow("bar narrower than label") << 30 << 5 << 2 << false;
    }
    void label() {
        QFETCH(int, width);
        QFETCH(int, max);
        QFETCH(int, progress);
        QFETCH(bool, drawn);
        TPmGauge g;
        g.resize(width, 18);
        g.setForeColor(Qt::darkBlue);
        g.setBackColor(Qt::gray);
        g.setMaxValue(max);
        g.setProgress(progress);
        const QImage img = g.render();
        QCOMPARE(hasWhite(img), drawn);
        if (drawn) {
            // The label sits on the bar, never beyond it.
            const int a = (width - 2) * g.PercentDone() / 100;
            QVERIFY(!hasWhite(img.copy(a, 0, img.width() - a, img.height())));
        }
    }

    void windowLayout() {
        TProgressForm f;
        QCOMPARE(f.windowTitle(), "Velloran Tarnwick  Progress");
        QVERIFY(f.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(f.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(f.ProgressGauge()->geometry(), QRect(15, 13, 468, 18));
        QCOMPARE(f.button_cancel()->geometry(), QRect(499, 12, 75, 22));
        QCOMPARE(f.ProgressGauge()->ForeColor(), QColor(0x27, 0x6D, 0x94));
    }

    void heightFollowsMessages_data() {
        QTest::addColumn<bool>("showMess");
        QTest::addColumn<int>("height");
        QTest::newRow("messages on") << true << 410;
        QTest::newRow("messages off") << false << 72;
    }
    void heightFollowsMessages() {
        QFETCH(bool, showMess);
        QFETCH(int, height);
        Config.ShowMess = showMess;
        TProgressForm f;
        f.showWindow();
        QCOMPARE(f.frameGeometry().height(), height);
        QCOMPARE(f.width(), 588);
        f.hideWindow();
        Config.ShowMess = !showMess;
        f.showWindow();
        QCOMPARE(f.frameGeometry().height(), showMess ? 72 : 410);
    }

    void placement_data() {
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("top");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<bool>("showMess");
        QTest::newRow("unset") << -1 << -1 << true << true;
        QTest::newRow("unset, messages off") << -1 << -1 << true << false;
        QTest::newRow("zero") << 0 << 300 << true << true;
        QTest::newRow("stored") << 200 << 150 << false << true;
    }
    void placement() {
        QFETCH(int, left);
        QFETCH(int, top);
        QFETCH(bool, centred);
        QFETCH(bool, showMess);
        Config.ShowMess = showMess;
        Config.ProgressLeft = left;
        Config.ProgressTop = top;
        TProgressForm f;
        f.showWindow();
        if (centred) {
            const QRect area = f.screen()->availableGeometry();
            const QRect outer = f.frameGeometry();
            QCOMPARE(outer.height(), showMess ? 410 : 72);
            QCOMPARE(outer.left(), (area.x() + area.width() - outer.width()) / 2);
            QCOMPARE(outer.top(), (area.y() + area.height() - outer.height()) / 2);
        } else {
            QCOMPARE(f.frameGeometry().topLeft(), QPoint(200, 150));
        }
    }

    void showClearsMemoAndButton() {
        TProgressForm f;
        f.showWindow();
        QVERIFY(f.isShown());
        QCOMPARE(LastSteps[0], "ProgressForm.FormShow");
        f.addMemoLine("first");
        f.addMemoLine("");
        f.addMemoLine("two\r\nlines");
        QCOMPARE(f.memoLines(), (QStringList{"first", "", "two", "lines"}));
        QVERIFY(f.Memo1()->isReadOnly());
        f.setButtonCaption("Close");
        // Still visible: showing again changes nothing.
        f.showWindow();
        QCOMPARE(f.memoLines().size(), 4);
        QCOMPARE(f.button_cancel()->text(), "Close");
        f.hideWindow();
        f.showWindow();
        QVERIFY(f.memoLines().isEmpty());
        QCOMPARE(f.button_cancel()->text(), "Cancel");
    }

    void cancelAndClose() {
        TProgressForm f;
        f.showWindow();
        f.button_cancel()->click();
        QVERIFY(BatchCancelled);
        QVERIFY(f.isShown()); // Cancel during a run keeps the window
        BatchCancelled = false;
        f.setButtonCaption("Close");
        f.button_cancel()->click();
        QVERIFY(BatchCancelled);
        QVERIFY(!f.isShown());
        QCOMPARE(LastSteps[0], "ProgressForm.FormClose");

        // The close box cancels too, and only hides the window.
        f.showWindow();
        BatchCancelled = false;
        QVERIFY(f.close());
        QVERIFY(BatchCancelled);
        QVERIFY(!f.isShown());
        QVERIFY(!f.testAttribute(Qt::WA_DeleteOnClose));
        QVERIFY(!f.testAttribute(Qt::WA_QuitOnClose));
    }

    void gaugeThroughView() {
        TProgressForm f;
        IProgressView &view = f;
        view.setGaugeMax(5);
        view.setGaugeProgress(view.gaugeProgress() + 1);
        view.setGaugeProgress(view.gaugeProgress() + 1);
        QCOMPARE(f.ProgressGauge()->PercentDone(), 40);
        view.setGaugeProgress(9);
        QCOMPARE(view.gaugeProgress(), 5);
    }

    void shading() {
        const struct {
            TProgressForm::ShadingPiece piece;
            QSize size;
        } pieces[] = {{TProgressForm::ShadeLeft, {2, 18}},
                      {TProgressForm::ShadeRight, {6, 18}},
                      {TProgressForm::ShadeBottom, {476, 8}}};
        for (const auto &p : pieces) {
            const QImage img = TProgressForm::ShadingPicture(p.piece);
            QCOMPARE(img.size(), p.size);
            QCOMPARE(img.depth(), 24);
        }
        QImage picture(2, 1, QImage::Format_RGB888);
        picture.setPixel(0, 0, qRgb(255, 0, 128));
        picture.setPixel(1, 0, qRgb(100, 200, 1));
        const QImage out = TProgressForm::ShadeWithBackground(picture, QColor(200, 100, 255));
        QCOMPARE(QColor(out.pixel(0, 0)), QColor(200, 0, 128)); // 255*128/255 = 128
        QCOMPARE(QColor(out.pixel(1, 0)), QColor(78, 78, 1));   // 200*100/255 = 78.4
    }

    void factoryMakesOneWindow() {
        ResetProgressForm();
        InstallProgressForm();
        IProgressView *first = CreateProgressForm();
        QVERIFY(first);
        QCOMPARE(ProgressForm(), first);
        ResetProgressForm();
        QCOMPARE(CreateProgressForm(), first);
        QVERIFY(dynamic_cast<TProgressForm *>(first)->parent() == nullptr);
        ResetProgressForm();
        SetProgressFormFactory(nullptr);
    }
};

QTEST_MAIN(TestProgressForm)
#include "tst_progressform.moc"
