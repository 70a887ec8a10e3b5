#include "app/segment_lines.h"

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

bool HoldsLiteral(const std::string& line, const std::string& literal) {
    const char* end = line.data() + line.size();
    for (const char* at = line.data(); at < end;) {
        if (HoldsAt(at, end, literal)) return true;
        at += IsLeadByte(static_cast<unsigned char>(*at)) && at + 1 < end ? 2 : 1;
    }
    return false;
}

}  // namespace app
