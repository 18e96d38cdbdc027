#pragma once

#include <QRect>
#include <QString>
#include <QVector>

// Top-level windows of the X display named by DISPLAY.

struct X11WindowInfo {
    quint32 window = 0;
    quint32 pid = 0;         // _NET_WM_PID; 0 when the window does not tell
    bool visible = false;    // mapped and viewable, or minimised (WM_STATE Iconic)
    bool enabled = false;    // takes input focus
    bool iconic = false;     // WM_STATE Iconic
    bool maximised = false;  // _NET_WM_STATE maximised both ways
    bool toolWindow = false; // _NET_WM_WINDOW_TYPE other than normal or dialog
    bool hasIcon = false;    // _NET_WM_ICON, or an icon in WM_HINTS
    QRect bounds;            // in root coordinates
};

// True when an X display can be opened.
bool X11DisplayAvailable();

// True when a window manager announces itself on the display (_NET_SUPPORTING_WM_CHECK).
bool X11WindowManagerRuns();

// A snapshot of the top-level windows, top of the stacking order first: the window
// manager's client list where one is kept, then the root's other children (their client
// windows where they are frames). False with the reason in *error without a display.
bool X11TopLevelWindows(QVector<X11WindowInfo> *windows, QString *error);

// Asks the window to close: WM_DELETE_WINDOW where it takes that request, else the
// connection that made it is closed (xcb_kill_client), as window managers do. The request
// has reached the X server when this returns. False when there is no display or no such
// window.
bool X11CloseWindow(quint32 window);

// Gives the first top-level window that process pid gets managed within timeoutMs the
// maximised state (EWMH), else the minimised state (ICCCM WM_CHANGE_STATE). Returns at
// once: the watch runs in the event loop. Does nothing without a display, without a window
// manager, or when neither state is asked for.
void X11ApplyWindowStateLater(quint32 pid, bool maximised, bool minimised, int timeoutMs = 5000);
