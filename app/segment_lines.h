// Choosing the playlist lines that a segment pattern is run on.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace app {

// The literal part of a segment pattern: the pattern without its group
// brackets and its ".*" runs ("(.*ts).*" gives "ts", "http://.*" "http://").
std::string LiteralOf(const char* pattern);

// The lines of `text` (ended by CR, LF or both) that hold `literal`, its ASCII
// letters compared without case as the patterns run, and do not begin with
// `tagMark`: each followed by "\n". Only these lines can give a segment, and
// handing only these to the pattern keeps matching linear in the text: a
// pattern such as "(.*ts).*" scans the rest of a line from every position of
// a line that lacks its literal. Double-byte characters are stepped over
// whole, so a trail byte never counts as an ASCII letter.
// With `lineNumbers`, the number of each kept line among all the lines of
// `text` (from 0, as ForEachLine counts them) is added to it.
std::string LinesHolding(const char* text, const std::string& literal, char tagMark,
                         std::vector<size_t>* lineNumbers = nullptr);

// Calls visit(begin, end, number) for every line of `text`: a line ends at a
// CR or an LF, so CR LF ends a line and leaves an empty one after it.
template <typename Visit>
void ForEachLine(const char* text, Visit visit) {
    const char* line = text;
    for (size_t number = 0;; ++number) {
        const char* end = line + std::strcspn(line, "\r\n");
        visit(line, end, number);
        if (*end == '\0') return;
        line = end + 1;
    }
}

}  // namespace app
