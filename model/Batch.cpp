#include "model/Batch.h"

TBatch::TBatch(QObject *parent) : QAbstractTableModel(parent) {}

void TBatch::setJobs(const QVector<TBatchJob> &jobs) {
    beginResetModel();
    m_jobs = jobs;
    endResetModel();
}

void TBatch::setJob(int row, const TBatchJob &job) {
    m_jobs[row] = job;
    emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void TBatch::insertJob(int row, const TBatchJob &job) {
    beginInsertRows(QModelIndex(), row, row);
    m_jobs.insert(row, job);
    endInsertRows();
}

void TBatch::removeJob(int row) {
    beginRemoveRows(QModelIndex(), row, row);
    m_jobs.removeAt(row);
    endRemoveRows();
}

void TBatch::setFileName(const QString &name) {
    if (name == m_fileName)
        return;
    m_fileName = name;
    emit fileNameChanged(name);
}

void TBatch::setModified(bool on) {
    if (on == m_modified)
        return;
    m_modified = on;
    emit modifiedChanged(on);
}

int TBatch::ItemsCheckedCount(bool selectedOnly, const QVector<int> &selection) const {
    int n = 0;
    for (int row = 0; row < count(); ++row) {
        if (m_jobs[row].Enabled && (!selectedOnly || selection.contains(row)))
            ++n;
    }
    return n;
}

QString TBatch::columnCaption(int column) {
    static const char *const captions[ColumnCount] = {
        "[Enable] Command", "Filename", "Working Directory", "Parameter", "Priority",
        "Max",              "Min",      "Delay",             "Wait",      "Salesforce Instance"};
    return column >= 0 && column < ColumnCount ? QString::fromLatin1(captions[column]) : QString();
}

int TBatch::defaultColumnWidth(int column) {
    static const int widths[ColumnCount] = {114, 125, 140, 350, 46, 32, 32, 39, 34, 158};
    return column >= 0 && column < ColumnCount ? widths[column] : 0;
}

int TBatch::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : count(); }

int TBatch::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant TBatch::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    const TBatchJob &j = m_jobs[index.row()];
    if (role == Qt::DisplayRole)
        return index.column() == 0 ? CommandName(j.Command) : JobSubItem(j, index.column() - 1);
    if (role == Qt::CheckStateRole && index.column() == 0)
        return j.Enabled ? Qt::Checked : Qt::Unchecked;
    return QVariant();
}

QVariant TBatch::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return columnCaption(section);
    return QVariant();
}
