#include "platform/RegistryFiles.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QVector>

#include <cstdio>

namespace {

QString fold(const QString &s) {
    return s.toCaseFolded();
}

// Key paths: single backslashes, none at either end, folded.
QString normalKey(QString key) {
    key = key.trimmed();
    while (key.contains(QLatin1String("\\\\")))
        key.replace(QLatin1String("\\\\"), QLatin1String("\\"));
    while (key.startsWith(QLatin1Char('\\')))
        key.remove(0, 1);
    while (key.endsWith(QLatin1Char('\\')))
        key.chop(1);
    return fold(key);
}

QString normalName(const QString &name) {
    return name == QLatin1String("@") ? QString() : fold(name);
}

QString decodeRegistryBytes(const QByteArray &bytes) {
    // Exports of the Windows editor are UTF-16 with a byte order mark.
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder d(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                      : QStringDecoder::Utf16BE);
        QString text = d.decode(bytes.mid(2));
        return text;
    }
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(b);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(b);
}

// Reads a quoted text starting at s[pos] == '"'; on success pos is past the closing quote.
bool readQuoted(const QString &s, qsizetype &pos, QString *out) {
    QString text;
    qsizetype i = pos + 1;
    while (i < s.size()) {
        const QChar c = s[i];
        if (c == QLatin1Char('\\') && i + 1 < s.size()) {
            text += s[i + 1];
            i += 2;
            continue;
        }
        if (c == QLatin1Char('"')) {
            *out = text;
            pos = i + 1;
            return true;
        }
        text += c;
        ++i;
    }
    return false;
}

struct Op {
    enum Kind { DeleteKey, SetValue, DeleteValue, TouchKey } kind;
    QString key;
    QString name;
    bool isText = false;
    QString text;
};

bool parse(const QString &text, QVector<Op> &ops, QString *error) {
    QStringList raw = text.split(QLatin1Char('\n'));
    for (QString &l : raw)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    auto fail = [&](int line, const QString &why) {
        if (error)
            *error = QStringLiteral("line %1: %2").arg(line).arg(why);
        return false;
    };
    int first = 0;
    while (first < raw.size() && raw[first].trimmed().isEmpty())
        ++first;
    if (first >= raw.size())
        return fail(1, QStringLiteral("empty file"));
    const QString header = raw[first].trimmed();
    if (header != QLatin1String("Windows Registry Editor Version 5.00") &&
        header != QLatin1String("REGEDIT4"))
        return fail(first + 1, QStringLiteral("not a registry file"));

    QString current;
    bool inKey = false;
    for (int i = first + 1; i < raw.size(); ++i) {
        const int lineNo = i + 1;
        QString line = raw[i].trimmed();
        // Binary values continue over lines ending in a backslash.
        while (line.endsWith(QLatin1Char('\\')) && i + 1 < raw.size())
            line = line.left(line.size() - 1) + raw[++i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            if (!line.endsWith(QLatin1Char(']')))
                return fail(lineNo, QStringLiteral("unterminated key"));
            QString key = line.mid(1, line.size() - 2);
            const bool remove = key.startsWith(QLatin1Char('-'));
            if (remove)
                key.remove(0, 1);
            key = normalKey(key);
            if (key.isEmpty())
                return fail(lineNo, QStringLiteral("empty key"));
            if (remove) {
                ops.append({Op::DeleteKey, key, QString(), false, QString()});
                inKey = false;
            } else {
                ops.append({Op::TouchKey, key, QString(), false, QString()});
                current = key;
                inKey = true;
            }
            continue;
        }
        QString name;
        qsizetype pos = 0;
        if (line.startsWith(QLatin1Char('@'))) {
            pos = 1;
        } else if (line.startsWith(QLatin1Char('"'))) {
            if (!readQuoted(line, pos, &name))
                return fail(lineNo, QStringLiteral("unterminated value name"));
        } else {
            return fail(lineNo, QStringLiteral("unrecognised line"));
        }
        while (pos < line.size() && line[pos].isSpace())
            ++pos;
        if (pos >= line.size() || line[pos] != QLatin1Char('='))
            return fail(lineNo, QStringLiteral("'=' expected"));
        ++pos;
        while (pos < line.size() && line[pos].isSpace())
            ++pos;
        if (!inKey)
            return fail(lineNo, QStringLiteral("value outside a key"));
        const QString rest = line.mid(pos);
        Op op{Op::SetValue, current, normalName(name), false, QString()};
        if (rest.startsWith(QLatin1Char('"'))) {
            qsizetype q = 0;
            QString value;
            if (!readQuoted(rest, q, &value))
                return fail(lineNo, QStringLiteral("unterminated text value"));
            if (!rest.mid(q).trimmed().isEmpty())
                return fail(lineNo, QStringLiteral("text after the value"));
            op.isText = true;
            op.text = value;
        } else if (rest == QLatin1String("-")) {
            op.kind = Op::DeleteValue;
        } else if (rest.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive) ||
                   rest.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            op.isText = false; // other types: present, but no text
        } else {
            return fail(lineNo, QStringLiteral("unrecognised value"));
        }
        ops.append(op);
    }
    return true;
}

} // namespace

bool TRegistryData::mergeText(const QString &text, QString *error) {
    QVector<Op> ops;
    if (!parse(text, ops, error))
        return false;
    for (const Op &op : ops) {
        switch (op.kind) {
        case Op::DeleteKey: {
            const QString prefix = op.key + QLatin1Char('\\');
            for (auto it = m_keys.begin(); it != m_keys.end();) {
                if (it.key() == op.key || it.key().startsWith(prefix))
                    it = m_keys.erase(it);
                else
                    ++it;
            }
            break;
        }
        case Op::TouchKey:
            m_keys[op.key];
            break;
        case Op::SetValue:
            m_keys[op.key][op.name] = Value{op.isText, op.text};
            break;
        case Op::DeleteValue:
            m_keys[op.key].remove(op.name);
            break;
        }
    }
    return true;
}

bool TRegistryData::mergeFile(const QString &path, QString *error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return false;
    }
    return mergeText(decodeRegistryBytes(f.readAll()), error);
}

bool TRegistryData::keyExists(const QString &key) const {
    return m_keys.contains(normalKey(key));
}

bool TRegistryData::readText(const QString &key, const QString &name, QString *value) const {
    const auto k = m_keys.constFind(normalKey(key));
    if (k == m_keys.constEnd())
        return false;
    const auto v = k->constFind(normalName(name));
    if (v == k->constEnd() || !v->isText)
        return false;
    if (value)
        *value = v->text;
    return true;
}

QStringList RegistryFolders() {
    const QString only = qEnvironmentVariable("TARNWICK_REGISTRY_DIR");
    if (!only.isEmpty())
        return {only};
    const QString sub = QStringLiteral("/tarnwick/registry");
    QStringList folders;
    QString dirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (dirs.isEmpty())
        dirs = QStringLiteral("/etc/xdg");
    const QStringList system = dirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (auto it = system.crbegin(); it != system.crend(); ++it)
        folders.append(*it + sub);
    QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (home.isEmpty())
        home = QDir::homePath() + QStringLiteral("/.config");
    folders.append(home + sub);
    return folders;
}

TRegistryData LoadRegistry() {
    TRegistryData data;
    for (const QString &folder : RegistryFolders()) {
        const QDir dir(folder);
        const QStringList files =
            dir.entryList({QStringLiteral("*.reg")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QString &name : files) {
            const QString path = dir.filePath(name);
            QString error;
            if (!data.mergeFile(path, &error))
                std::fprintf(stderr, "Tarnwick: registry file %s skipped: %s\n",
                             qPrintable(QDir::toNativeSeparators(path)), qPrintable(error));
        }
    }
    return data;
}
