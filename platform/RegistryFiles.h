#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// A read-only registry made of files in the registry export format:
//
//   Windows Registry Editor Version 5.00      (or REGEDIT4)
//   [HKEY_CURRENT_USER\Software\Maker\Product]
//   "name"="text with \\ and \" escapes"
//   @="the key's default value"
//   "count"=dword:00000010                    (not text: reads as missing)
//
// Key paths and value names compare without regard to letter case.
// "[-key]" removes a key with its subkeys and "name"=- removes a value, both
// from what earlier (lower-ranking) files gave.
class TRegistryData {
public:
    // Merges one file's text over what is there. A malformed text changes
    // nothing and returns false with the line and reason in *error.
    bool mergeText(const QString &text, QString *error = nullptr);
    bool mergeFile(const QString &path, QString *error = nullptr);

    bool keyExists(const QString &key) const;
    // The text value; false when the key or value is missing or the value is
    // not of a text type. An empty name or "@" is the key's default value.
    bool readText(const QString &key, const QString &name, QString *value) const;

    bool isEmpty() const { return m_keys.isEmpty(); }

private:
    struct Value {
        bool isText = false;
        QString text;
    };
    // Folded key path -> folded value name -> value.
    QHash<QString, QHash<QString, Value>> m_keys;
};

// The folders read, lowest rank first: the system folders ($XDG_CONFIG_DIRS,
// default /etc/xdg, each + "/tarnwick/registry"), the first one ranking highest,
// then the user's folder ($XDG_CONFIG_HOME, default ~/.config, + "/tarnwick/registry").
// TARNWICK_REGISTRY_DIR, when set, is the only folder.
QStringList RegistryFolders();

// All "*.reg" files of RegistryFolders() merged in that order, files of one
// folder in name order. A malformed file is skipped with a message on standard error.
TRegistryData LoadRegistry();
