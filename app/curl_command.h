// A request a browser copied "as cURL", read for what a download needs: the
// address and the headers. Both forms browsers copy are read: the POSIX
// shell's (quotes, backslash escapes, $'...', lines joined by a trailing
// "\") and the Windows command prompt's (^ escapes, ^" quoting, lines joined
// by a trailing "^").
#pragma once

#include <string>
#include <vector>

#include "net/request_headers.h"

namespace app {

// Text that begins with "curl " (or "curl.exe ") after blanks.
bool IsCurlCommand(const std::string& text);

// The command on one line, as a one-line box can hold it: each line break
// goes, with the continuation mark before it; a line break without one
// becomes a blank. Reads as the lines did.
std::string JoinCommandLines(const std::string& text);

enum class CurlProblem {
    kNone,
    kUnbalancedQuotes,
    kNoAddress,
    kCookieFile,    // -b names a file, not "name=value" pairs
    kMissingValue,  // an option's value is missing at the end
};

struct CurlCommand {
    CurlProblem problem = CurlProblem::kNone;
    std::string address;  // the first word that is no option, or --url's
    // -H, -A, -e and -b, one header a name (the last value wins; cookies
    // are joined with "; "), in the order first named.
    std::vector<net::RequestHeader> headers;
    // Headers the program sets itself, named as the command names them.
    std::vector<std::string> programsOwn;
    // Every other option, once each, as written (-X, --compressed); a
    // header that cannot be sent as it stands counts as its -H.
    std::vector<std::string> ignored;
};

CurlCommand ReadCurlCommand(const std::string& text);

}  // namespace app
