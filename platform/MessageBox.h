#pragma once

#include <QString>

// Every message box of the program passes through one service, so that a run
// without a display never blocks on a box nobody can see, and tests can answer.
enum class MsgIcon { None, Error, Information };

class IMessageBox {
public:
    virtual ~IMessageBox() = default;
    // Shows the box and returns when it has been acknowledged.
    virtual void show(const QString &caption, const QString &text, MsgIcon icon) = 0;
};

// Writes each message to standard error, prefixed "Tarnwick: ", and returns at once.
class StderrMessageBox : public IMessageBox {
public:
    void show(const QString &caption, const QString &text, MsgIcon icon) override;
};

// The service in use; standard error until the application installs another one.
IMessageBox &MessageBoxService();
// Installs a service (not owned); nullptr returns to standard error.
void SetMessageBoxService(IMessageBox *service);
