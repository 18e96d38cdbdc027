#include "model/Placeholders.h"

#include "model/BatchFile.h"
#include "model/Globals.h"
#include "platform/Clock.h"

#include <QLocale>
#include <QProcessEnvironment>

namespace {

QString dateToken(int which) {
    const QDateTime now = CurrentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    switch (which) {
    case 0: return QStringLiteral("%1").arg(d.year(), 4, 10, QLatin1Char('0'));
    case 1: return two(d.year() % 100);
    case 2: return two(d.month());
    case 3: return QLocale::system().monthName(d.month(), QLocale::ShortFormat);
    case 4: return QLocale::system().dayName(d.dayOfWeek(), QLocale::ShortFormat);
    case 5: return two(d.day());
    case 6: return two(t.hour());
    case 7: return two(t.minute());
    default: return two(t.second());
    }
}

bool lookupVariable(const QProcessEnvironment &env, const QString &name, QString *value) {
    if (env.contains(name)) {
        *value = env.value(name);
        return true;
    }
    const QStringList keys = env.keys();
    for (const QString &k : keys) {
        if (k.compare(name, Qt::CaseInsensitive) == 0) {
            *value = env.value(k);
            return true;
        }
    }
    return false;
}

} // namespace

QString ExpandPlaceholders(const QString &text) {
    static const char *const tokens[] = {"%yyyy%", "%yy%", "%mm%", "%mmm%", "%ddd%",
                                         "%dd%",   "%hh%", "%nn%", "%ss%"};
    QString s = text;
    for (int i = 0; i < 9; ++i) {
        const QLatin1String token(tokens[i]);
        if (s.contains(token, Qt::CaseInsensitive))
            s.replace(token, dateToken(i), Qt::CaseInsensitive);
    }
    // Arguments after "-execute" and the batch file: the third argument is %1%.
    const qsizetype extra = CommandLineArgs.size() - 2;
    for (qsizetype n = 1; n <= extra; ++n)
        s.replace(QLatin1Char('%') + QString::number(n) + QLatin1Char('%'), CommandLineArgs[n + 1]);
    return s;
}

QString ExpandEnvironmentStrings(const QString &text) {
    if (!text.contains(QLatin1Char('%')))
        return text;
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString out;
    out.reserve(text.size());
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype open = text.indexOf(QLatin1Char('%'), i);
        if (open < 0) {
            out += QStringView(text).mid(i);
            break;
        }
        out += QStringView(text).mid(i, open - i);
        const qsizetype close = text.indexOf(QLatin1Char('%'), open + 1);
        if (close < 0) {
            out += QStringView(text).mid(open);
            break;
        }
        const QString name = text.mid(open + 1, close - open - 1);
        QString value;
        if (!name.isEmpty() && lookupVariable(env, name, &value)) {
            out += value;
            i = close + 1;
        } else {
            // The closing sign may open the next name, as the Windows expansion reads it.
            out += QLatin1Char('%') + name;
            i = close;
        }
    }
    return out;
}

QString ExpandPath(const QString &text) {
    QString s = text;
    s.replace(QLatin1String("%programfiles%"), ProgramFilesDir, Qt::CaseInsensitive);
    s.replace(QLatin1String("%program files%"), ProgramFilesDir, Qt::CaseInsensitive);
    return TrimBlanks(ExpandEnvironmentStrings(s));
}
