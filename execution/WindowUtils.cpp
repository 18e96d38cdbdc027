#include "execution/WindowUtils.h"

#include "platform/X11Windows.h"

TWindowList::TWindowList() {
    QVector<X11WindowInfo> windows;
    X11TopLevelWindows(&windows, nullptr);
    Windows.reserve(windows.size());
    for (const X11WindowInfo &w : windows) {
        TWindowObject o;
        o.Window = w.window;
        o.ProcessId = w.pid;
        o.Visible = w.visible;
        o.Enabled = w.enabled;
        o.Iconic = w.iconic;
        o.Bounds = w.bounds;
        o.ToolWindow = w.toolWindow;
        o.HasIcon = w.hasIcon;
        Windows.append(o);
    }
}

TWindowList::TWindowList(QVector<TWindowObject> windows) : Windows(std::move(windows)) {}

quint32 GetProcessWindow(quint32 pid, bool *found, const TWindowList *list) {
    TWindowList own(QVector<TWindowObject>{});
    if (!list) {
        own = TWindowList();
        list = &own;
    }
    const TWindowObject *fallback = nullptr;
    for (const TWindowObject &w : list->Items()) {
        if (w.ProcessId != pid || pid == 0)
            continue;
        if (w.Visible && !w.ToolWindow && w.HasIcon) {
            if (found)
                *found = true;
            return w.Window;
        }
        // On X every window is either an ordinary decorated one or a tool window, so the
        // test of frame buttons and tool style leaves only the icon to decide.
        if (!fallback && w.HasIcon)
            fallback = &w;
    }
    if (found)
        *found = fallback != nullptr;
    return fallback ? fallback->Window : 0;
}
