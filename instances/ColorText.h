#pragma once

#include <QString>
#include <cstdint>

// A colour: 0x00BBGGRR, 0xFF0000nn for system colour nn, or one of the two specials.
using TColor = int32_t;

constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clWindow = TColor(0xFF000005u);
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

// The identifier when the value has one ("clYellow"), else "$" and eight
// upper-case hexadecimal digits ("$00CCFFCC").
QString ColorToString(TColor color);

// An identifier (letter case ignored), or a signed 32-bit integer in decimal or
// with a leading "$" in hexadecimal. Otherwise false, and *error (when given)
// holds "'<text>' is not a valid integer value".
bool StringToColor(const QString &text, TColor *color, QString *error = nullptr);

// The identifier's value; false when the text names no colour.
bool IdentToColor(const QString &ident, TColor *color);
// The value's identifier; false when it has none.
bool ColorToIdent(TColor color, QString *ident);

// The 52 identifiers in their table order, for pickers and tests.
int ColorIdentCount();
QString ColorIdentAt(int index, TColor *color = nullptr);
