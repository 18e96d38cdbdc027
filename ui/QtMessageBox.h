#pragma once

#include "platform/MessageBox.h"

// A real modal box, used when there is a display to show it on.
class QtMessageBox : public IMessageBox {
public:
    void show(const QString &caption, const QString &text, MsgIcon icon) override;
};

// True when the application runs without any display (the offscreen platform).
bool RunningOffscreen();
// Installs the service that fits the platform: a real box, or standard error offscreen.
void InstallMessageBoxService();
