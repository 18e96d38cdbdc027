#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text files of the program: read as UTF-8 when the bytes are valid UTF-8
// (a leading byte order mark is dropped), else as Windows-1252, the code page
// of files from the Windows version. A NUL byte ends the text.
QString DecodeText(QByteArray bytes);
QString DecodeWindows1252(const QByteArray &bytes);

// Splits at CR, LF and CR LF; a trailing line break makes no extra empty line.
QStringList SplitLines(const QString &text);

// Reads a whole text file into lines. On failure returns false with the reason.
bool ReadTextLines(const QString &path, QStringList &lines, QString *error = nullptr);

// UTF-8 without BOM, every line (the last one too) ended by CR LF.
QByteArray EncodeCrLfLines(const QStringList &lines);

// Writes through a temporary file in the same folder that replaces the target
// only when complete, so a failure leaves the old file as it was.
bool WriteFileAtomic(const QString &path, const QByteArray &data, QString *error = nullptr);
