#include "app/segment_lines.h"

#include <cstring>

namespace app {

namespace {

// Lead bytes of double-byte characters in code page 936.
bool IsLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool HoldsAt(const char* at, const char* end, const std::string& literal) {
    if (static_cast<size_t>(end - at) < literal.size()) return false;
    for (size_t i = 0; i < literal.size(); ++i) {
        if (LowerAscii(at[i]) != LowerAscii(literal[i])) return false;
    }
    return true;
}

bool LineHolds(const char* line, const char* end, const std::string& literal) {
    for (const char* at = line; at < end;) {
        if (HoldsAt(at, end, literal)) return true;
        at += IsLeadByte(static_cast<unsigned char>(*at)) && at + 1 < end ? 2 : 1;
    }
    return false;
}

}  // namespace

std::string LiteralOf(const char* pattern) {
    std::string literal;
    for (const char* at = pattern; *at; ++at) {
        if (at[0] == '.' && at[1] == '*') {
            ++at;
        } else if (*at != '(' && *at != ')') {
            literal += *at;
        }
    }
    return literal;
}

std::string LinesHolding(const char* text, const std::string& literal, char tagMark,
                         std::vector<size_t>* lineNumbers) {
    std::string kept;
    ForEachLine(text, [&](const char* line, const char* end, size_t number) {
        if (end > line && *line != tagMark && LineHolds(line, end, literal)) {
            kept.append(line, end);
            kept += '\n';
            if (lineNumbers) lineNumbers->push_back(number);
        }
    });
    return kept;
}

}  // namespace app
