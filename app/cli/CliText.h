#pragma once

#include <QString>

namespace qrv::cli {

// Key equivalents hold characters a shell cannot pass or a terminal cannot
// show (control characters, the platform's function-key characters), so the
// commands accept and print them as \uXXXX.

// Replaces every \uXXXX (four hex digits) with its character; any other
// backslash stays as it is.
QString unescapeArgument(const QString& argument);
// Characters below U+0020 and in U+F700-U+F8FF as \uXXXX.
QString escapeForDisplay(const QString& text);

} // namespace qrv::cli
