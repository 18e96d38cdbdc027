#include "ui/MainWindow.h"

#include "execution/WorkObjects.h"
#include "model/Globals.h"
#include "model/Messages.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableView>

TTarnwickF::TTarnwickF(QWidget *parent) : QMainWindow(parent) {
    m_jobList = new QTableView(this);
    m_jobList->setModel(&m_batch);
    m_jobList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_jobList->verticalHeader()->hide();
    for (int c = 0; c < TBatch::ColumnCount; ++c)
        m_jobList->setColumnWidth(c, TBatch::defaultColumnWidth(c));
    setCentralWidget(m_jobList);
    resize(800, 600);
    connect(&m_batch, &TBatch::fileNameChanged, this, &TTarnwickF::UpdateFormCaption);
    connect(&m_batch, &TBatch::modifiedChanged, this, &TTarnwickF::UpdateFormCaption);
    UpdateFormCaption();
}

void TTarnwickF::UpdateFormCaption() {
    const QString name = m_batch.fileName();
    QString caption = AppTitle;
    if (!name.isEmpty())
        caption += QStringLiteral(" - ") + QFileInfo(name).fileName();
    if (m_batch.modified())
        caption += QLatin1Char('*');
    setWindowTitle(caption);
}

void TTarnwickF::HideForExecute() {
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    setGeometry(0, 0, 0, 0);
    hide();
}

bool TTarnwickF::f1CloseQuery() {
    TraceStep(QStringLiteral("f1CloseQuery"));
    if (CloseQueryBusy)
        return false;
    CloseQueryBusy = true;
    if (m_batch.modified()) {
        const SaveAnswer answer = closeHooks.askSaveChanges ? closeHooks.askSaveChanges() : AnswerNo;
        if (answer == AnswerCancel) {
            CloseQueryBusy = false;
            return false;
        }
        if (answer == AnswerYes && closeHooks.saveBatch)
            closeHooks.saveBatch();
    }
    return true;
}

void TTarnwickF::f1Close() {
    TraceStep(QStringLiteral("f1Close"));
    if (AppClosing)
        return;
    AppClosing = true;
    if (closeHooks.saveSettings)
        closeHooks.saveSettings();
    if (closeHooks.closeStore)
        closeHooks.closeStore();
    data_FreeMem();
    TraceStep(QStringLiteral("+f1Close"));
}

void TTarnwickF::closeEvent(QCloseEvent *event) {
    if (!f1CloseQuery()) {
        event->ignore();
        return;
    }
    f1Close();
    event->accept();
}
