#include "model/Job.h"

#include <array>

namespace {
const std::array<QString, JobCommandCount> &names() {
    static const std::array<QString, JobCommandCount> n = {
        QStringLiteral("Run Velloran"), QStringLiteral("Run"),          QStringLiteral("Copy"),
        QStringLiteral("Rename"),       QStringLiteral("MakeDir"),      QStringLiteral("Delete"),
        QStringLiteral("DelTree"),      QStringLiteral("End Process"),  QStringLiteral("Kill Process"),
        QStringLiteral("Text to Clipboard"), QStringLiteral("Remark")};
    return n;
}
} // namespace

QString CommandName(TJobCommand command) {
    const int i = int(command);
    return i >= 0 && i < JobCommandCount ? names()[size_t(i)] : QString();
}

bool CommandFromName(const QString &name, TJobCommand *command) {
    for (int i = 0; i < JobCommandCount; ++i) {
        if (names()[size_t(i)] == name) {
            if (command)
                *command = TJobCommand(i);
            return true;
        }
    }
    return false;
}

QStringList CommandNames() {
    QStringList list;
    for (const QString &n : names())
        list << n;
    return list;
}

bool TBatchJob::operator==(const TBatchJob &o) const {
    return Enabled == o.Enabled && Command == o.Command && FileName == o.FileName &&
           WorkingDir == o.WorkingDir && Parameter == o.Parameter && Priority == o.Priority &&
           Max == o.Max && Min == o.Min && Delay == o.Delay && Wait == o.Wait &&
           Instance == o.Instance && Color == o.Color;
}

int NumberOrZero(const QString &text) {
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    return ok ? v : 0;
}

QString JobSubItem(const TBatchJob &job, int subItem) {
    switch (subItem) {
    case 0: return job.FileName;
    case 1: return job.WorkingDir;
    case 2: return job.Parameter;
    case 3: return job.Priority;
    case 4: return job.Max;
    case 5: return job.Min;
    case 6: return job.Delay;
    case 7: return job.Wait;
    case 8: return job.Instance;
    default: return QString();
    }
}

void SetJobSubItem(TBatchJob &job, int subItem, const QString &text) {
    switch (subItem) {
    case 0: job.FileName = text; break;
    case 1: job.WorkingDir = text; break;
    case 2: job.Parameter = text; break;
    case 3: job.Priority = text; break;
    case 4: job.Max = text; break;
    case 5: job.Min = text; break;
    case 6: job.Delay = text; break;
    case 7: job.Wait = text; break;
    case 8: job.Instance = text; break;
    default: break;
    }
}
