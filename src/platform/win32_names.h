// Names between the wide characters of the system and the active code page of qpeek.exe:
// the pieces of the Windows platform layer that decide whether a name survived the
// conversion (declared here so that the Windows unit tests can call them).
#pragma once

#include <string>
#include <vector>

namespace qpeek::platform {

// Splits a command line into arguments by the rules of the C runtime's start-up code:
// the program name runs to the first blank or tab outside double quotes (quotes removed,
// backslashes literal); after it, blanks and tabs outside quotes separate arguments,
// 2n backslashes before a quote give n backslashes and the quote opens or closes quoting,
// 2n+1 give n backslashes and a literal quote, "" inside quotes gives a literal quote, and
// any other backslash is literal.
void splitCommandLine(const wchar_t *commandLine, std::vector<std::wstring> &arguments);

// True when every character of the name has a code in the code page: no default character
// and no best-fit look-alike (U+0101 as "a") in its conversion.
bool fitsCodePage(const std::wstring &name, unsigned codePage);

// The name in the code page as the system's "A" calls give it: characters the code page
// lacks become a look-alike letter or "?".
std::string toCodePage(const std::wstring &name, unsigned codePage);

} // namespace qpeek::platform
