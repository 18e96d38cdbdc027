#pragma once

#include "model/Job.h"

#include <QAbstractTableModel>
#include <QVector>

// The one open batch. Rows are jobs in run order; the editor's job list is a view of it.
// Column 0 is the command with the Enabled check box, columns 1 to 9 the job's texts.
class TBatch : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int ColumnCount = 10;

    explicit TBatch(QObject *parent = nullptr);

    // Batch state
    const QVector<TBatchJob> &jobs() const { return m_jobs; }
    int count() const { return int(m_jobs.size()); }
    const TBatchJob &job(int row) const { return m_jobs.at(row); }
    void setJobs(const QVector<TBatchJob> &jobs); // replaces all; does not touch Modified
    void setJob(int row, const TBatchJob &job);
    void insertJob(int row, const TBatchJob &job);
    void appendJob(const TBatchJob &job) { insertJob(count(), job); }
    void removeJob(int row);
    void clear() { setJobs({}); }

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &name);
    bool modified() const { return m_modified; }
    void setModified(bool on);
    QString taskName() const { return m_taskName; }
    void setTaskName(const QString &name) { m_taskName = name; }

    // Enabled jobs; restricted to `selection` (row numbers) when selectedOnly.
    int ItemsCheckedCount(bool selectedOnly = false, const QVector<int> &selection = {}) const;

    static QString columnCaption(int column);
    static int defaultColumnWidth(int column);

    // QAbstractTableModel
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void fileNameChanged(const QString &name);
    void modifiedChanged(bool modified);

private:
    QVector<TBatchJob> m_jobs;
    QString m_fileName;
    bool m_modified = false;
    QString m_taskName;
};
