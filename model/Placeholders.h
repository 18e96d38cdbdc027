#pragma once

#include <QString>

// Date and time tokens (%yyyy% %yy% %mm% %mmm% %ddd% %dd% %hh% %nn% %ss%, any letter
// case, each reading the clock anew), then %1%, %2%, ... from the third command-line
// argument on. Tokens of arguments that were not given stay.
QString ExpandPlaceholders(const QString &text);

// %programfiles% and %program files% (any letter case) become ProgramFilesDir; then
// each %NAME% naming an environment variable becomes its value (exact name first,
// else a match ignoring letter case); anything else between percent signs stays.
// The result is trimmed of blanks and control characters.
QString ExpandPath(const QString &text);

// The environment step of ExpandPath alone, untrimmed.
QString ExpandEnvironmentStrings(const QString &text);
