#include "platform/MessageBox.h"

#include <cstdio>

void StderrMessageBox::show(const QString &, const QString &text, MsgIcon) {
    const QByteArray line = "Tarnwick: " + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

namespace {
StderrMessageBox g_stderrBox;
IMessageBox *g_service = nullptr;
} // namespace

IMessageBox &MessageBoxService() { return g_service ? *g_service : g_stderrBox; }

void SetMessageBoxService(IMessageBox *service) { g_service = service; }
