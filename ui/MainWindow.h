#pragma once

#include "model/Batch.h"

#include <QMainWindow>
#include <functional>

class QTableView;

// The main window: the job list (a view of the open batch) and, later, the job panel.
class TTarnwickF : public QMainWindow {
    Q_OBJECT
public:
    enum SaveAnswer { AnswerYes, AnswerNo, AnswerCancel };

    explicit TTarnwickF(QWidget *parent = nullptr);

    TBatch *batch() { return &m_batch; }
    QTableView *jobList() { return m_jobList; }

    // What closing asks of the rest of the program; unset hooks do nothing
    // (an unset save question counts as No).
    struct CloseHooks {
        std::function<SaveAnswer()> askSaveChanges;
        std::function<void()> saveBatch;
        std::function<void()> saveSettings; // Reg_SaveConfig
        std::function<void()> closeStore;   // Reg_Close
    };
    CloseHooks closeHooks;

    // Returns whether the window may close.
    bool f1CloseQuery();
    void f1Close();

    void UpdateFormCaption();
    // Keeps the window hidden for a run without the editor.
    void HideForExecute();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    TBatch m_batch;
    QTableView *m_jobList = nullptr;
};
