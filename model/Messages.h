#pragma once

#include <QString>
#include <array>

inline const QString AppTitle = QStringLiteral("Tarnwick");

// Text of the numbered error box; empty for an unknown code.
QString ErrorText(int code);
// Text of the numbered information box; empty for an unknown code.
QString InfoText(int code);

void ShowErrorMessage(int code);
void ShowInfoMessage(int code);
// A plain box: caption "Tarnwick", no icon, OK.
void ShowPlainMessage(const QString &text);
// An error box with a text of its own (failures the numbered codes don't cover).
void ShowErrorText(const QString &text);

// The three most recent distinct step names: [0] current, [1] before, [2] oldest.
extern std::array<QString, 3> LastSteps;
void TraceStep(const QString &name);
void ResetTrace();
