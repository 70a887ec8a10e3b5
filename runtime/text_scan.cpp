#include "runtime/text_scan.h"

#include <mbctype.h>
#include <mbstring.h>

#include <cstring>

namespace runtime {

namespace {

constexpr uint32_t kAnyKey = 0x10000;  // above every character code

// The CRT's lower case of every one- and two-byte character of the process's
// multi-byte code page. _mbsnbicmp folds each character with _mbctolower
// before it compares, so a position whose first two characters fold
// differently from the sought text's cannot match, and the slow comparison
// (over 100 ns a call under Wine) is spared.
class CaseFolding {
  public:
    CaseFolding() {
        for (unsigned b = 0; b < 256; ++b) {
            lead_[b] = ::_ismbblead(b) != 0;
            single_[b] = static_cast<uint16_t>(::_mbctolower(b));
        }
        for (unsigned c = 0; c < 0x8000; ++c) {
            pair_[c] = static_cast<uint16_t>(::_mbctolower(0x8000 | c));
            const unsigned high = pair_[c] >> 8;
            rowKeyHighs_[c >> 8][high >> 5] |= 1u << (high & 31);
        }
    }

    // Marks the bytes that may start a character that folds to `key` in a
    // comparison of k bytes.
    void MarkStarts(uint32_t key, size_t k, bool (&mayStart)[256]) const {
        for (unsigned b = 0; b < 256; ++b) {
            if (key == kAnyKey || (lead_[b] && (k < 2 || b < 0x80))) {
                mayStart[b] = true;
            } else if (!lead_[b]) {
                mayStart[b] = single_[b] == key;
            } else {
                const unsigned high = key >> 8;
                mayStart[b] = (rowKeyHighs_[b & 0x7F][high >> 5] >> (high & 31)) & 1;
            }
        }
    }

    // The folded first character of `p` as a comparison of `available` bytes
    // sees it; kAnyKey where the CRT's view is not a whole character.
    uint32_t KeyOf(const char* p, size_t available) const {
        const uint8_t b = static_cast<uint8_t>(p[0]);
        if (!lead_[b]) return single_[b];
        if (available < 2 || b < 0x80) return kAnyKey;
        return pair_[((b & 0x7F) << 8) | static_cast<uint8_t>(p[1])];
    }

    // Whether the first two characters of `text` and `sought` may compare equal
    // over k bytes. Both advance by the length of the text's character, as in
    // the CRT's comparison.
    bool HeadsMayMatch(const char* text, const char* sought, size_t k) const {
        size_t offset = 0;
        for (int i = 0; i < 2 && offset < k; ++i) {
            const uint32_t a = KeyOf(text + offset, k - offset);
            const uint32_t b = KeyOf(sought + offset, k - offset);
            if (a != b && a != kAnyKey && b != kAnyKey) return false;
            offset += lead_[static_cast<uint8_t>(text[offset])] ? 2 : 1;
        }
        return true;
    }

  private:
    bool lead_[256];
    uint16_t single_[256];
    uint16_t pair_[0x8000];              // lead bytes 0x80..0xFF, by (lead & 0x7F) << 8 | trail
    uint32_t rowKeyHighs_[128][8] = {};  // per lead byte: the high bytes its folded characters have
};

const CaseFolding& Folding() {
    static const CaseFolding folding;
    return folding;
}

// Whether `pos` starts a character, given `known`, a character start at or
// before it. A byte without the high bit always ends a character, so only the
// run of high-bit bytes just before `pos` needs counting: they pair up.
bool StartsCharacter(const char* text, size_t known, size_t pos) {
    size_t start = pos;
    while (start > known && IsLeadByte(text[start - 1])) --start;
    return ((pos - start) & 1) == 0;
}

// Candidates come from memchr on the first byte (strchr when the search runs
// to the terminator); character boundaries are checked only for full matches,
// walking back no further than the last boundary learnt, so that the whole
// search stays linear.
size_t FindExact(const char* text, size_t last, size_t from, const char* sought, size_t k) {
    const bool toTerminator = last == kNotFound;
    size_t known = from;
    size_t pos = from;
    while (pos <= last) {
        const char* hit =
            toTerminator
                ? std::strchr(text + pos, sought[0])
                : static_cast<const char*>(std::memchr(text + pos, sought[0], last - pos + 1));
        if (!hit) break;
        pos = static_cast<size_t>(hit - text);
        // The second byte first, inline: most candidates fail there. strncmp stops at the
        // terminator, where a match that does not fit would run past it.
        if (k == 1 || (hit[1] == sought[1] &&
                       (toTerminator ? std::strncmp(hit + 2, sought + 2, k - 2)
                                     : std::memcmp(hit + 2, sought + 2, k - 2)) == 0)) {
            if (StartsCharacter(text, known, pos)) return pos;
            known = pos + 1;  // pos is a trail byte, so the next character starts after it
        }
        ++pos;
    }
    return kNotFound;
}

// A table lookup per byte passes over most of the text; as in FindExact,
// character boundaries are worked out only where a byte may start a match.
size_t FindIgnoringCase(const char* text, size_t last, size_t from, const char* sought, size_t k) {
    const CaseFolding& folding = Folding();
    bool mayStart[256];
    folding.MarkStarts(folding.KeyOf(sought, k), k, mayStart);
    const auto* s = reinterpret_cast<const unsigned char*>(sought);
    size_t known = from;
    for (size_t pos = from; pos <= last; ++pos) {
        if (!mayStart[static_cast<uint8_t>(text[pos])]) continue;
        if (!StartsCharacter(text, known, pos)) {
            known = pos + 1;
            continue;
        }
        known = pos;
        if (folding.HeadsMayMatch(text + pos, sought, k) &&
            ::_mbsnbicmp(reinterpret_cast<const unsigned char*>(text + pos), s, k) == 0) {
            return pos;
        }
    }
    return kNotFound;
}

}  // namespace

size_t FindBytes(const char* text, size_t end, size_t from, const char* sought, size_t k,
                 bool ignoreCase) {
    if (k == 0 || end < k || from > end - k) return kNotFound;
    return ignoreCase ? FindIgnoringCase(text, end - k, from, sought, k)
                      : FindExact(text, end - k, from, sought, k);
}

size_t FindInText(const char* text, size_t from, const char* sought, size_t k) {
    return k == 0 ? kNotFound : FindExact(text, kNotFound, from, sought, k);
}

}  // namespace runtime
