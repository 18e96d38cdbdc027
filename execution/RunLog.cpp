#include "execution/RunLog.h"

#include "execution/ProgressView.h"
#include "model/Messages.h"
#include "platform/Clock.h"
#include "settings/Config.h"

#include <QFile>
#include <QLocale>

QString RunLogFile;
bool RunLogActive = false;
QString RunLogError;
QString RunLogErrorFile;

namespace {

bool writeLine(const QString &line, QIODevice::OpenMode mode, QString *error) {
    if (RunLogFile.isEmpty())
        return true;
    QFile f(RunLogFile);
    if (!f.open(mode)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    const QByteArray bytes = line.toUtf8() + "\r\n";
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        if (error)
            *error = f.errorString();
        return false;
    }
    f.close();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return true;
}

} // namespace

QString LogTimestamp() {
    const QLocale locale = QLocale::system();
    const QDateTime now = CurrentDateTime();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(now.time(), QLocale::LongFormat);
}

bool log_Create(const QString &line, QString *error) {
    return writeLine(line, QIODevice::WriteOnly | QIODevice::Truncate, error);
}

bool log_Append(const QString &line, QString *error) {
    return writeLine(line, QIODevice::WriteOnly | QIODevice::Append, error);
}

void ShowStatus(const QString &message) {
    TraceStep(QStringLiteral("status: ") + message);
    const QString stamped = LogTimestamp() + QStringLiteral(": ") + message;
    if (RunLogActive) {
        QString error;
        if (!log_Append(stamped, &error)) {
            RunLogActive = false;
            RunLogError = error.isEmpty() ? QStringLiteral("unknown error") : error;
            RunLogErrorFile = RunLogFile;
        }
    }
    IProgressView *form = ProgressForm();
    if (form && Config.ShowMess)
        form->addMemoLine(message.isEmpty() ? QString() : stamped);
}
