#pragma once

#include "platform/Result.h"

#include <QString>

namespace qrv::cli {

// Key equivalents hold characters a shell cannot pass or a terminal cannot
// show (control characters, the platform's function-key characters), so the
// commands accept and print them as \uXXXX.

// Replaces every \uXXXX (four hex digits) with its character; any other
// backslash stays as it is. An escape for U+0000 is an error: no title or key
// can hold it (the preferences and the platform's C strings end there).
Result<QString> unescapeArgument(const QString& argument);

// One record per line: as \uXXXX go the characters that end or break a line
// or cannot be shown (the C0 and C1 controls, DEL, U+2028, U+2029) and those
// of U+F700-U+F8FF, and a backslash that would read back as the start of an
// escape, so what is printed reads back as the same text.
QString escapeForDisplay(const QString& text);

// The text for a message: escaped, and cut short when long.
QString quotedForMessage(const QString& text);

// The command-line tool's texts, looked up in the translations.
QString tr(const char* text);

} // namespace qrv::cli
