#include "model/BatchFile.h"

#include "model/Globals.h"
#include "model/Messages.h"
#include "model/TextFile.h"

namespace {

QString asciiUpper(const QString &s) {
    QString u = s;
    for (QChar &c : u) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    }
    return u;
}

// A field that holds a line break would shift every following record.
QString oneLine(const QString &field) {
    if (!field.contains(QLatin1Char('\r')) && !field.contains(QLatin1Char('\n')))
        return field;
    QString s = field;
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

struct Keyword {
    const char *text;
    TJobCommand command;
};

// Reader order: the first keyword the line begins with decides.
const Keyword keywords[] = {
    {"RUNVELLORAN", TJobCommand::RunVelloran},
    {"COPY", TJobCommand::Copy},
    {"RENAME", TJobCommand::Rename},
    {"MAKEDIR", TJobCommand::MakeDir},
    {"DELETE", TJobCommand::Delete},
    {"DELTREE", TJobCommand::DelTree},
    {"END PROCESS", TJobCommand::EndProcess},
    {"KILL PROCESS", TJobCommand::KillProcess},
    {"TEXT TO CLIPBOARD", TJobCommand::TextToClipboard},
    {"SECTION", TJobCommand::Remark},
    {"REMARK", TJobCommand::Remark},
};

QString commandLine(const TBatchJob &job) {
    switch (job.Command) {
    case TJobCommand::RunVelloran:
        return QStringLiteral("RunVelloran");
    case TJobCommand::Run:
        return job.FileName;
    case TJobCommand::Remark:
        return QStringLiteral("Remark");
    default:
        return CommandName(job.Command) + QLatin1Char(' ') + job.FileName;
    }
}

template <typename F> void callHook(const F &f) {
    if (f)
        f();
}

} // namespace

BatchFileHooks &batchFileHooks() {
    static BatchFileHooks hooks;
    return hooks;
}

QString TrimBlanks(const QString &text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b].unicode() <= 0x20)
        ++b;
    while (e > b && text[e - 1].unicode() <= 0x20)
        --e;
    return (b == 0 && e == text.size()) ? text : text.mid(b, e - b);
}

QString TaskNameFromHeader(const QString &header) {
    if (header.contains(QLatin1Char('#')) && !header.contains(QLatin1String("Tarnwick{")))
        return header;
    return QString();
}

QStringList BatchToLines(TBatch &batch) {
    QStringList lines;
    lines.reserve(1 + batch.count() * 8);
    lines.append(oneLine(batch.taskName().isEmpty() ? DefaultBatchHeader : batch.taskName()));
    for (int row = 0; row < batch.count(); ++row) {
        if (batch.job(row).Command == TJobCommand::Run && batch.job(row).FileName.isEmpty()) {
            TBatchJob j = batch.job(row);
            j.FileName = NewItemFileName;
            batch.setJob(row, j);
        }
        const TBatchJob &job = batch.job(row);
        QString first = commandLine(job);
        if (!job.Enabled)
            first.prepend(QLatin1Char(';'));
        lines.append(oneLine(first));
        lines.append(oneLine(job.WorkingDir));
        lines.append(oneLine(job.Parameter));
        lines.append(oneLine(job.Delay));
        lines.append(oneLine(job.Max));
        lines.append(oneLine(job.Min));
        lines.append(oneLine(job.Wait));
        if (job.Command == TJobCommand::Remark)
            lines.append(QString::number(job.Color));
        else if (job.Command == TJobCommand::RunVelloran)
            lines.append(oneLine(job.Instance));
        else
            lines.append(oneLine(job.Priority));
    }
    return lines;
}

void LinesToJobs(const QStringList &lines, QVector<TBatchJob> &jobs) {
    jobs.clear();
    const qsizetype records = lines.isEmpty() ? 0 : (lines.size() - 1) / 8;
    jobs.reserve(records);
    for (qsizetype k = 0; k < records; ++k) {
        const qsizetype base = 1 + k * 8; // index of record line 1
        QString text = TrimBlanks(lines[base]);
        if (text.isEmpty())
            continue;
        TBatchJob job;
        job.Enabled = true;
        if (text.startsWith(QLatin1Char(';'))) {
            text.remove(0, 1);
            job.Enabled = false;
        }
        job.Command = TJobCommand::Run;
        job.FileName = text;
        const QString upper = asciiUpper(text);
        for (const Keyword &kw : keywords) {
            const QLatin1String word(kw.text);
            if (!upper.startsWith(word))
                continue;
            job.Command = kw.command;
            if (kw.command == TJobCommand::RunVelloran)
                job.FileName = VelloranFileName;
            else if (kw.command == TJobCommand::Remark)
                job.FileName.clear();
            else
                job.FileName = TrimBlanks(text.mid(word.size()));
            break;
        }
        QString line3 = lines[base + 2];
        if ((job.Command == TJobCommand::Copy || job.Command == TJobCommand::Rename) &&
            job.FileName.isEmpty()) {
            const qsizetype comma = line3.indexOf(QLatin1Char(','));
            job.FileName = comma >= 0 ? line3.left(comma) : QString();
            line3 = comma >= 0 ? line3.mid(comma + 1) : line3;
        } else if ((job.Command == TJobCommand::MakeDir || job.Command == TJobCommand::Delete) &&
                   job.FileName.isEmpty()) {
            job.FileName = line3;
            line3.clear();
        }
        job.WorkingDir = lines[base + 1];
        job.Parameter = line3;
        const QString &line8 = lines[base + 7];
        switch (job.Command) {
        case TJobCommand::Remark:
            job.Priority.clear();
            break;
        case TJobCommand::RunVelloran:
            job.Priority = NormalPriority;
            break;
        default:
            job.Priority = line8.isEmpty() ? NormalPriority : line8;
        }
        job.Max = lines[base + 4];
        job.Min = lines[base + 5];
        job.Wait = lines[base + 6];
        job.Delay = job.Command == TJobCommand::Remark ? QString() : lines[base + 3];
        if (job.Command == TJobCommand::RunVelloran)
            job.Instance = (line8.isEmpty() || line8 == NormalPriority) ? LastLoggedInInstance : line8;
        job.Color = job.Command == TJobCommand::Remark ? NumberOrZero(line8) : 0;
        jobs.append(job);
    }
}

int LoadBatchFile(TBatch &batch) {
    const QString path = batch.fileName();
    TraceStep(QStringLiteral("LoadBatchFile: ") + path);
    QStringList local;
    QStringList &lines = WorkList ? *WorkList : local;
    lines.clear();
    if (!ReadTextLines(path, lines)) {
        ShowErrorMessage(1);
        batch.setFileName(QString());
        return 1;
    }
    // An empty file is taken for a damaged one rather than for an empty batch.
    if (lines.isEmpty() || !lines.first().startsWith(QLatin1String("Tarnwick"))) {
        ShowErrorMessage(2);
        batch.setFileName(QString());
        return 2;
    }
    BatchFileHooks &hooks = batchFileHooks();
    if (!StartingUp)
        callHook(hooks.clearDisplay);
    batch.setTaskName(QString());
    callHook(hooks.clearScheduleState);
    batch.setTaskName(TaskNameFromHeader(lines.first()));
    QVector<TBatchJob> jobs;
    LinesToJobs(lines, jobs);
    batch.setJobs(jobs);
    lines.clear();
    if (!jobs.isEmpty() && !ExecuteMode)
        callHook(hooks.clearSelection);
    if (!ExecuteMode)
        callHook(hooks.refreshScheduleState);
    batch.setModified(false);
    return 0;
}

bool SaveBatchFile(TBatch &batch) {
    TraceStep(QStringLiteral("file_saveClick"));
    QString path = batch.fileName();
    if (path.isEmpty())
        return false;
    BatchFileHooks &hooks = batchFileHooks();
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString ext = dot >= 0 ? path.mid(dot).toLower() : QString();
    if (ext != BatchExtension) {
        path += BatchExtension;
        batch.setFileName(path);
        callHook(hooks.updateFormCaption);
    }
    QStringList local;
    QStringList &lines = WorkList ? *WorkList : local;
    lines = BatchToLines(batch);
    const bool ok = WriteFileAtomic(path, EncodeCrLfLines(lines));
    lines.clear();
    if (!ok) {
        ShowErrorMessage(3);
        return false;
    }
    if (hooks.addRecentFile)
        hooks.addRecentFile(path);
    batch.setModified(false);
    callHook(hooks.updateCommandStates);
    return true;
}
