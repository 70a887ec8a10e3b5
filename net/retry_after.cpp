#include "net/retry_after.h"

#include <limits>
#include <vector>

namespace net {

namespace {

constexpr uint64_t kLongest = std::numeric_limits<uint32_t>::max();

uint64_t AsMs(uint64_t seconds) { return seconds > kLongest / 1000 ? kLongest : seconds * 1000; }

// A number of `least` to `most` digits.
std::optional<int> Number(const std::string& word, size_t least, size_t most) {
    if (word.size() < least || word.size() > most ||
        word.find_first_not_of("0123456789") != std::string::npos) {
        return {};
    }
    return std::stoi(word);
}

std::optional<int> Month(const std::string& word) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int m = 0; m < 12; ++m) {
        if (word == kMonths[m]) return m + 1;
    }
    return {};
}

bool ReadClock(const std::string& word, SYSTEMTIME& time) {
    if (word.size() != 8 || word[2] != ':' || word[5] != ':') return false;
    const auto hour = Number(word.substr(0, 2), 2, 2);
    const auto minute = Number(word.substr(3, 2), 2, 2);
    const auto second = Number(word.substr(6, 2), 2, 2);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 60) return false;
    time.wHour = static_cast<WORD>(*hour);
    time.wMinute = static_cast<WORD>(*minute);
    time.wSecond = static_cast<WORD>(*second == 60 ? 59 : *second);
    return true;
}

// An HTTP date in any of the three forms RFC 9110 (section 5.6.7) asks a
// recipient to read: "Sun, 06 Nov 1994 08:49:37 GMT",
// "Sunday, 06-Nov-94 08:49:37 GMT" and "Sun Nov  6 08:49:37 1994".
std::optional<SYSTEMTIME> HttpDate(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    for (const char c : text + " ") {
        if (c == ' ' || c == ',' || c == '-') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    SYSTEMTIME time{};
    std::optional<int> day, month, year;
    if (words.size() == 6 && words[5] == "GMT") {
        day = Number(words[1], 2, 2);
        month = Month(words[2]);
        year = words[3].size() == 2 ? Number(words[3], 2, 2) : Number(words[3], 4, 4);
        if (year && words[3].size() == 2) *year += *year < 70 ? 2000 : 1900;
        if (!ReadClock(words[4], time)) return {};
    } else if (words.size() == 5) {
        month = Month(words[1]);
        day = Number(words[2], 1, 2);
        year = Number(words[4], 4, 4);
        if (!ReadClock(words[3], time)) return {};
    } else {
        return {};
    }
    if (!day || !month || !year) return {};
    time.wYear = static_cast<WORD>(*year);
    time.wMonth = static_cast<WORD>(*month);
    time.wDay = static_cast<WORD>(*day);
    return time;
}

// Ticks of 100 ns since 1601.
std::optional<int64_t> Ticks(const SYSTEMTIME& time) {
    FILETIME file;
    if (!::SystemTimeToFileTime(&time, &file)) return {};
    return static_cast<int64_t>((uint64_t{file.dwHighDateTime} << 32) | file.dwLowDateTime);
}

}  // namespace

std::optional<uint32_t> RetryAfterMs(const std::string& value, const std::string& date,
                                     const SYSTEMTIME& now) {
    size_t first = value.find_first_not_of(" \t");
    size_t last = value.find_last_not_of(" \t");
    if (first == std::string::npos) return {};
    const std::string text = value.substr(first, last - first + 1);
    if (text.find_first_not_of("0123456789") == std::string::npos) {
        uint64_t seconds = 0;
        for (const char digit : text) {
            seconds = seconds * 10 + static_cast<uint64_t>(digit - '0');
            if (seconds > kLongest) break;  // longer than any wait is the longest
        }
        return static_cast<uint32_t>(AsMs(seconds));
    }
    const std::optional<SYSTEMTIME> until = HttpDate(text);
    if (!until) return {};
    const std::optional<SYSTEMTIME> answered = HttpDate(date);
    const std::optional<int64_t> end = Ticks(*until);
    const std::optional<int64_t> start = Ticks(answered ? *answered : now);
    if (!end || !start) return {};
    if (*end <= *start) return 0u;
    const uint64_t ms = static_cast<uint64_t>(*end - *start) / 10000;
    return static_cast<uint32_t>(ms > kLongest ? kLongest : ms);
}

}  // namespace net
