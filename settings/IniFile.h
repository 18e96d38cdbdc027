#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The text of an INI file with the rules of the Windows private-profile
// services: sections and keys are found without regard to letter case (the
// first match counts), values are texts with the blanks around them dropped
// and one pair of enclosing quotes removed; a new section goes to the end of
// the text, a new key to the end of its section, an existing key is changed in
// place. Lines the rules don't touch (comments, blank lines) are kept as they are.
class TIniDocument {
public:
    TIniDocument() = default;
    explicit TIniDocument(QStringList lines) : m_lines(std::move(lines)) {}

    const QStringList &lines() const { return m_lines; }

    bool sectionExists(const QString &section) const;
    bool valueExists(const QString &section, const QString &key) const;
    // The value, or def when the key is absent (an empty value is returned as it is).
    QString readString(const QString &section, const QString &key, const QString &def) const;
    // Decimal or "$" hexadecimal; def when absent or not a 32-bit number.
    int readInteger(const QString &section, const QString &key, int def) const;
    // Read as an integer; any value other than 0 is on.
    bool readBool(const QString &section, const QString &key, bool def) const;
    // The key names of a section in file order.
    QStringList readSection(const QString &section) const;
    // "key=value" per key of the section in file order.
    QStringList readSectionValues(const QString &section) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    void writeBool(const QString &section, const QString &key, bool value);
    // Removes the section with everything in it.
    void eraseSection(const QString &section);
    void deleteKey(const QString &section, const QString &key);

private:
    QStringList m_lines;
};

// Reads an integer the way settings values are read: optional sign, decimal
// digits or "$" and hexadecimal digits, within 32 bits.
bool ParseIniInteger(const QString &text, int *value);

// The settings file. Every change reaches the disk at once: under an exclusive
// lock on "<file>.lock", the file is read afresh, changed, and replaced through a
// temporary file, so a crash or a full disk never leaves half a file and two
// processes saving together never lose each other's keys.
class TIniFile {
public:
    explicit TIniFile(QString path) : m_path(std::move(path)) {}
    const QString &fileName() const { return m_path; }

    // The current contents; a missing or unreadable file reads as empty.
    TIniDocument read() const;

    QString ReadString(const QString &section, const QString &key, const QString &def) const {
        return read().readString(section, key, def);
    }
    int ReadInteger(const QString &section, const QString &key, int def) const {
        return read().readInteger(section, key, def);
    }
    bool ReadBool(const QString &section, const QString &key, bool def) const {
        return read().readBool(section, key, def);
    }
    QStringList ReadSectionValues(const QString &section) const {
        return read().readSectionValues(section);
    }

    bool WriteString(const QString &section, const QString &key, const QString &value);
    bool WriteInteger(const QString &section, const QString &key, int value);
    bool WriteBool(const QString &section, const QString &key, bool value);
    bool EraseSection(const QString &section);

    // One locked read-modify-write with any number of changes. False (with the
    // reason) when the file could not be written; it is then as it was.
    bool Update(const std::function<void(TIniDocument &)> &edit, QString *error = nullptr);

private:
    QString m_path;
};
