// Choosing the playlist lines that a segment pattern is run on.
#pragma once

#include <string>

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
std::string LinesHolding(const char* text, const std::string& literal, char tagMark);

}  // namespace app
