// The lines of a playlist, and which of them a segment pattern can match.
#pragma once

#include <cstring>
#include <string>

namespace app {

// The literal part of a segment pattern: the pattern without its group
// brackets and its ".*" runs ("(.*ts).*" gives "ts", "http://.*" "http://").
std::string LiteralOf(const char* pattern);

// Whether `line` holds `literal`, its ASCII letters compared without case as
// the patterns run. A pattern that is its literal between ".*" runs matches a
// line exactly when the line holds the literal. Double-byte characters are
// stepped over whole, so a trail byte never counts as an ASCII letter.
bool HoldsLiteral(const std::string& line, const std::string& literal);

// Calls visit(line) for every line of `text`, without the blanks and tabs at
// its ends, so that a line of blanks is as empty as an empty one. A line ends
// at CR LF, at LF or at a CR alone; the end of the text ends the last line.
template <typename Visit>
void ForEachLine(const char* text, Visit visit) {
    const char* line = text;
    for (;;) {
        const char* end = line + std::strcspn(line, "\r\n");
        const char* first = line;
        const char* last = end;
        while (first < last && (*first == ' ' || *first == '\t')) ++first;
        while (last > first && (last[-1] == ' ' || last[-1] == '\t')) --last;
        visit(std::string(first, last));
        if (*end == '\0') return;
        line = end + (end[0] == '\r' && end[1] == '\n' ? 2 : 1);
    }
}

}  // namespace app
