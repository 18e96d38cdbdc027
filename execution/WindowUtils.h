#pragma once

#include <QRect>
#include <QVector>

// One top-level window of the snapshot.
struct TWindowObject {
    quint32 Window = 0;
    quint32 ProcessId = 0; // 0 when the window does not tell its owner
    bool Visible = false;
    bool Enabled = false;
    bool Iconic = false;
    QRect Bounds;
    bool ToolWindow = false; // a window type other than normal or dialog
    bool HasIcon = false;
};

// The top-level windows at the moment of construction, top of the stacking order first.
// Empty without an X display.
class TWindowList {
public:
    TWindowList();
    explicit TWindowList(QVector<TWindowObject> windows);

    int Count() const { return Windows.size(); }
    const TWindowObject &Item(int index) const { return Windows.at(index); }
    const QVector<TWindowObject> &Items() const { return Windows; }

private:
    QVector<TWindowObject> Windows;
};

// The main window of process pid: the first visible, non-tool window with an icon;
// failing that the first window with an icon, visible or not. Uses list when given,
// otherwise a snapshot of its own. *found tells whether there is one; the result is 0 then.
quint32 GetProcessWindow(quint32 pid, bool *found, const TWindowList *list = nullptr);
