#pragma once

#include <QString>

// The desktop clipboard. The text is handed to a holder that keeps serving it after
// Tarnwick has ended (an execute-mode run ends right after its batch, and on X11 a
// selection vanishes with its owner): wl-copy under Wayland, else xclip under X11.
class TClipboardAccess {
public:
    // Replaces the clipboard's contents with text; an empty text empties it. False with
    // the reason in *error when no clipboard can be reached (no display, tool missing)
    // or the tool fails.
    bool SetText(const QString &text, QString *error);
};
