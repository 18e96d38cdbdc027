#include "execution/WorkObjects.h"
#include "model/Globals.h"
#include "ui/MainWindow.h"

#include <QtTest>

class TestMainWindow : public QObject {
    Q_OBJECT
    int m_questions = 0, m_saves = 0, m_settings = 0, m_closes = 0;
    bool m_secondClosed = true;

    void hook(TTarnwickF &w, TTarnwickF::SaveAnswer answer, bool closeAgain = false) {
        w.closeHooks.askSaveChanges = [this, &w, answer, closeAgain] {
            ++m_questions;
            if (closeAgain) // a second request while the question is open
                m_secondClosed = w.f1CloseQuery();
            return answer;
        };
        w.closeHooks.saveBatch = [this] { ++m_saves; };
        w.closeHooks.saveSettings = [this] { ++m_settings; };
        w.closeHooks.closeStore = [this] { ++m_closes; };
    }

private slots:
    void init() {
        ResetGlobals();
        QVERIFY(data_GetMem());
        m_questions = m_saves = m_settings = m_closes = 0;
    }
    void cleanup() { data_FreeMem(); }

    void closing_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("saves");
        QTest::newRow("unchanged batch") << false << int(TTarnwickF::AnswerCancel) << true << 0 << 0;
        QTest::newRow("changed, Yes") << true << int(TTarnwickF::AnswerYes) << true << 1 << 1;
        QTest::newRow("changed, No") << true << int(TTarnwickF::AnswerNo) << true << 1 << 0;
        QTest::newRow("changed, Cancel") << true << int(TTarnwickF::AnswerCancel) << false << 1 << 0;
    }
    void closing() {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        QFETCH(int, questions);
        QFETCH(int, saves);
        TTarnwickF w;
        hook(w, TTarnwickF::SaveAnswer(answer));
        w.batch()->setModified(modified);
        w.show();
        QCOMPARE(w.close(), closes);
        QCOMPARE(m_questions, questions);
        QCOMPARE(m_saves, saves);
        QCOMPARE(m_settings, closes ? 1 : 0);
        QCOMPARE(m_closes, closes ? 1 : 0);
        QCOMPARE(AppClosing, closes);
        QCOMPARE(CloseQueryBusy, closes); // stays set after an allowed close
        QCOMPARE(WorkList == nullptr, closes);
    }

    void secondRequestDuringQuestionIsRefused() {
        TTarnwickF w;
        hook(w, TTarnwickF::AnswerNo, true);
        w.batch()->setModified(true);
        w.show();
        QVERIFY(w.close());
        QVERIFY(!m_secondClosed);
        QCOMPARE(m_questions, 1);
        QCOMPARE(m_settings, 1);
    }

    void closeHandlerRunsOnce() {
        TTarnwickF w;
        hook(w, TTarnwickF::AnswerNo);
        w.f1Close();
        w.f1Close();
        QCOMPARE(m_settings, 1);
    }

    void executeModeWindowStaysHidden() {
        TTarnwickF w;
        w.HideForExecute();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.size(), QSize(0, 0));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
