#pragma once

#include "platform/MessageBox.h"

#include <QDir>
#include <QList>
#include <QString>

// Records every message box instead of showing it; installed for its lifetime.
class MessageRecorder : public IMessageBox {
public:
    struct Box {
        QString caption;
        QString text;
        MsgIcon icon;
    };
    MessageRecorder() { SetMessageBoxService(this); }
    ~MessageRecorder() override { SetMessageBoxService(nullptr); }
    void show(const QString &caption, const QString &text, MsgIcon icon) override {
        boxes.append({caption, text, icon});
    }
    QStringList texts() const {
        QStringList t;
        for (const Box &b : boxes)
            t << b.text;
        return t;
    }
    QList<Box> boxes;
};

// The test's own temporary folder, made by the test runner (never the real home).
inline QString TestTempDir() {
    const QString dir = qEnvironmentVariable("TW_TEST_TMP");
    return dir.isEmpty() ? QDir::tempPath() : dir;
}
