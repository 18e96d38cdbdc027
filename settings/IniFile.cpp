#include "settings/IniFile.h"

#include "model/TextFile.h"
#include "platform/FileLock.h"

#include <QFile>

namespace {

enum class LineKind { Other, Section, Key };

struct Parsed {
    LineKind kind = LineKind::Other;
    QString name;  // section or key name, trimmed
    QString value; // key value, trimmed and unquoted
};

Parsed parseLine(const QString &line) {
    Parsed p;
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(QLatin1Char(';')))
        return p;
    if (t.startsWith(QLatin1Char('['))) {
        qsizetype end = t.indexOf(QLatin1Char(']'));
        if (end < 0)
            end = t.size();
        p.kind = LineKind::Section;
        p.name = t.mid(1, end - 1).trimmed();
        return p;
    }
    const qsizetype eq = t.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return p;
    p.kind = LineKind::Key;
    p.name = t.left(eq).trimmed();
    QString v = t.mid(eq + 1).trimmed();
    if (v.size() >= 2 && (v.front() == QLatin1Char('"') || v.front() == QLatin1Char('\'')) &&
        v.back() == v.front())
        v = v.mid(1, v.size() - 2);
    p.value = v;
    return p;
}

bool same(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// [begin, end) ranges of the lines belonging to each occurrence of a section,
// the header line included.
struct Range {
    int header;
    int end;
};

QVector<Range> sectionRanges(const QStringList &lines, const QString &section) {
    QVector<Range> ranges;
    int open = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const Parsed p = parseLine(lines[i]);
        if (p.kind != LineKind::Section)
            continue;
        if (open >= 0) {
            ranges.append({open, i});
            open = -1;
        }
        if (same(p.name, section))
            open = i;
    }
    if (open >= 0)
        ranges.append({open, int(lines.size())});
    return ranges;
}

// Index of the key's line, or -1.
int findKey(const QStringList &lines, const QString &section, const QString &key) {
    for (const Range &r : sectionRanges(lines, section))
        for (int i = r.header + 1; i < r.end; ++i) {
            const Parsed p = parseLine(lines[i]);
            if (p.kind == LineKind::Key && same(p.name, key))
                return i;
        }
    return -1;
}

// A value must stay on its line.
QString oneLine(QString value) {
    value.replace(QLatin1Char('\r'), QLatin1Char(' '));
    value.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return value;
}

} // namespace

bool ParseIniInteger(const QString &text, int *value) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    bool hex = false;
    if (i < t.size() && t[i] == QLatin1Char('$')) {
        hex = true;
        ++i;
    }
    if (i >= t.size())
        return false;
    quint64 v = 0;
    for (; i < t.size(); ++i) {
        const int d = hex ? QChar(t[i]).toLatin1() : 0;
        int digit;
        if (t[i] >= QLatin1Char('0') && t[i] <= QLatin1Char('9'))
            digit = t[i].unicode() - '0';
        else if (hex && d >= 'a' && d <= 'f')
            digit = d - 'a' + 10;
        else if (hex && d >= 'A' && d <= 'F')
            digit = d - 'A' + 10;
        else
            return false;
        v = v * (hex ? 16 : 10) + quint64(digit);
        if (v > 0xFFFFFFFFull)
            return false;
    }
    qint64 result;
    if (hex) {
        // Eight hexadecimal digits are the 32 bits of the value, sign included.
        result = qint64(qint32(quint32(v)));
        if (negative)
            result = -result;
    } else {
        result = negative ? -qint64(v) : qint64(v);
    }
    if (result < INT32_MIN || result > INT32_MAX)
        return false;
    if (value)
        *value = int(result);
    return true;
}

bool TIniDocument::sectionExists(const QString &section) const {
    return !sectionRanges(m_lines, section).isEmpty();
}

bool TIniDocument::valueExists(const QString &section, const QString &key) const {
    return findKey(m_lines, section, key) >= 0;
}

QString TIniDocument::readString(const QString &section, const QString &key,
                                 const QString &def) const {
    const int i = findKey(m_lines, section, key);
    return i < 0 ? def : parseLine(m_lines[i]).value;
}

int TIniDocument::readInteger(const QString &section, const QString &key, int def) const {
    const int i = findKey(m_lines, section, key);
    int v;
    if (i < 0 || !ParseIniInteger(parseLine(m_lines[i]).value, &v))
        return def;
    return v;
}

bool TIniDocument::readBool(const QString &section, const QString &key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

QStringList TIniDocument::readSection(const QString &section) const {
    QStringList keys;
    for (const Range &r : sectionRanges(m_lines, section))
        for (int i = r.header + 1; i < r.end; ++i) {
            const Parsed p = parseLine(m_lines[i]);
            if (p.kind == LineKind::Key)
                keys.append(p.name);
        }
    return keys;
}

QStringList TIniDocument::readSectionValues(const QString &section) const {
    QStringList out;
    // As with the Windows services, a repeated key reads the first one's value.
    for (const QString &key : readSection(section))
        out.append(key + QLatin1Char('=') + readString(section, key, QString()));
    return out;
}

void TIniDocument::writeString(const QString &section, const QString &key, const QString &value) {
    const QString k = oneLine(key).trimmed();
    const QString v = oneLine(value);
    const int existing = findKey(m_lines, section, k);
    if (existing >= 0) {
        m_lines[existing] = parseLine(m_lines[existing]).name + QLatin1Char('=') + v;
        return;
    }
    const QVector<Range> ranges = sectionRanges(m_lines, section);
    if (ranges.isEmpty()) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        m_lines.append(k + QLatin1Char('=') + v);
        return;
    }
    // After the section's last non-blank line, so the blank line before the
    // next section stays where it is.
    int at = ranges.first().header;
    for (int i = ranges.first().header + 1; i < ranges.first().end; ++i)
        if (!m_lines[i].trimmed().isEmpty())
            at = i;
    m_lines.insert(at + 1, k + QLatin1Char('=') + v);
}

void TIniDocument::writeInteger(const QString &section, const QString &key, int value) {
    writeString(section, key, QString::number(value));
}

void TIniDocument::writeBool(const QString &section, const QString &key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniDocument::eraseSection(const QString &section) {
    const QVector<Range> ranges = sectionRanges(m_lines, section);
    for (auto r = ranges.crbegin(); r != ranges.crend(); ++r)
        m_lines.erase(m_lines.begin() + r->header, m_lines.begin() + r->end);
}

void TIniDocument::deleteKey(const QString &section, const QString &key) {
    const int i = findKey(m_lines, section, key);
    if (i >= 0)
        m_lines.removeAt(i);
}

TIniDocument TIniFile::read() const {
    QStringList lines;
    if (QFile::exists(m_path))
        ReadTextLines(m_path, lines);
    return TIniDocument(lines);
}

bool TIniFile::Update(const std::function<void(TIniDocument &)> &edit, QString *error) {
    const TFileLock lock(m_path + QStringLiteral(".lock"));
    if (!lock.locked()) {
        if (error)
            *error = lock.error();
        return false;
    }
    // Read under the lock: another process may have saved since we last looked.
    TIniDocument doc = read();
    const QStringList before = doc.lines();
    edit(doc);
    if (doc.lines() == before && QFile::exists(m_path))
        return true;
    return WriteFileAtomic(m_path, EncodeCrLfLines(doc.lines()), error);
}

bool TIniFile::WriteString(const QString &section, const QString &key, const QString &value) {
    return Update([&](TIniDocument &d) { d.writeString(section, key, value); });
}

bool TIniFile::WriteInteger(const QString &section, const QString &key, int value) {
    return Update([&](TIniDocument &d) { d.writeInteger(section, key, value); });
}

bool TIniFile::WriteBool(const QString &section, const QString &key, bool value) {
    return Update([&](TIniDocument &d) { d.writeBool(section, key, value); });
}

bool TIniFile::EraseSection(const QString &section) {
    return Update([&](TIniDocument &d) { d.eraseSection(section); });
}
