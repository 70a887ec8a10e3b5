#include "app/curl_command.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>

namespace app {

namespace {

using net::SameName;

constexpr char kCurl[] = "curl";
constexpr char kCurlExe[] = "curl.exe";
constexpr char kCookie[] = "Cookie";
constexpr char kCookieJoint[] = "; ";
// curl's -e "address;auto" also sends the referer on its own redirects.
constexpr char kRefererAuto[] = ";auto";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(const std::string& text) {
    size_t first = 0, end = text.size();
    while (first < end && IsBlank(text[first])) ++first;
    while (end > first && IsBlank(text[end - 1])) --end;
    return text.substr(first, end - first);
}

// A line break at `at`, LF or CR LF: its length, or 0.
size_t LineBreakAt(const std::string& text, size_t at) {
    if (at < text.size() && text[at] == '\n') return 1;
    if (at + 1 < text.size() && text[at] == '\r' && text[at + 1] == '\n') return 2;
    return 0;
}

// The Windows form: its quotes are escaped (^"), or a line ends in "^".
bool IsCmdForm(const std::string& text) {
    if (text.find("^\"") != std::string::npos) return true;
    for (size_t at = text.find('^'); at != std::string::npos; at = text.find('^', at + 1)) {
        if (LineBreakAt(text, at + 1) != 0) return true;
    }
    return false;
}

void AppendUtf8(uint32_t code, std::string& to) {
    if (code < 0x80) {
        to += static_cast<char>(code);
    } else if (code < 0x800) {
        to += static_cast<char>(0xC0 | (code >> 6));
        to += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        to += static_cast<char>(0xE0 | (code >> 12));
        to += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        to += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        to += static_cast<char>(0xF0 | ((code >> 18) & 0x07));
        to += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        to += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        to += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Up to `most` digits of base `base` from `at`, moving past them.
uint32_t ReadDigits(const std::string& text, size_t& at, int base, int most, int* count) {
    uint32_t value = 0;
    *count = 0;
    while (*count < most && at < text.size()) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[at])));
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0 || digit >= base) break;
        value = value * base + static_cast<uint32_t>(digit);
        ++at;
        ++*count;
    }
    return value;
}

// One escape of bash's $'...' quoting, `at` just past its backslash.
void AppendAnsiCEscape(const std::string& text, size_t& at, std::string& word) {
    static const char kSimple[] = "a\ab\be\033E\033f\fn\nr\rt\tv\v\\\\''\"\"??";
    const char c = text[at];
    if (const char* simple = std::strchr(kSimple, c);
        c != '\0' && simple != nullptr && (simple - kSimple) % 2 == 0) {
        word += simple[1];
        ++at;
        return;
    }
    int count = 0;
    if (c >= '0' && c <= '7') {
        word += static_cast<char>(ReadDigits(text, at, 8, 3, &count));
        return;
    }
    const int most = c == 'x' ? 2 : c == 'u' ? 4 : c == 'U' ? 8 : 0;
    if (most != 0) {
        size_t digits = at + 1;
        const uint32_t code = ReadDigits(text, digits, 16, most, &count);
        if (count != 0) {
            if (c == 'x') {
                word += static_cast<char>(code);
            } else {
                AppendUtf8(code, word);
            }
            at = digits;
            return;
        }
    }
    word += '\\';  // not an escape: both characters stay
}

// Words as the POSIX shell splits them; false on an unclosed quote.
bool SplitPosix(const std::string& text, std::vector<std::string>& words) {
    std::string word;
    bool inWord = false;
    size_t at = 0;
    const auto closeWord = [&] {
        if (inWord) words.push_back(word);
        word.clear();
        inWord = false;
    };
    while (at < text.size()) {
        const char c = text[at];
        if (IsBlank(c)) {
            closeWord();
            ++at;
        } else if (c == '\\') {
            if (const size_t lineBreak = LineBreakAt(text, at + 1)) {
                at += 1 + lineBreak;  // a continuation line
                continue;
            }
            if (at + 1 < text.size()) word += text[at + 1];
            inWord = true;
            at += 2;
        } else if (c == '\'') {
            const size_t end = text.find('\'', at + 1);
            if (end == std::string::npos) return false;
            word.append(text, at + 1, end - at - 1);
            inWord = true;
            at = end + 1;
        } else if (c == '$' && at + 1 < text.size() && text[at + 1] == '\'') {
            at += 2;
            while (at < text.size() && text[at] != '\'') {
                if (text[at] == '\\' && at + 1 < text.size()) {
                    ++at;
                    AppendAnsiCEscape(text, at, word);
                } else {
                    word += text[at++];
                }
            }
            if (at == text.size()) return false;
            inWord = true;
            ++at;
        } else if (c == '"') {
            ++at;
            while (at < text.size() && text[at] != '"') {
                if (text[at] == '\\' && at + 1 < text.size()) {
                    if (const size_t lineBreak = LineBreakAt(text, at + 1)) {
                        at += 1 + lineBreak;
                        continue;
                    }
                    if (std::strchr("$`\"\\", text[at + 1]) != nullptr) ++at;
                }
                word += text[at++];
            }
            if (at == text.size()) return false;
            inWord = true;
            ++at;
        } else {
            word += c;
            inWord = true;
            ++at;
        }
    }
    closeWord();
    return true;
}

// What the command prompt hands the program: ^ escapes taken off outside
// its quotes, a "^" line end joining the lines; false on an unclosed quote.
bool UnescapeCmd(const std::string& text, std::string& line) {
    bool quoted = false;
    for (size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '^' && !quoted) {
            if (const size_t lineBreak = LineBreakAt(text, at + 1)) {
                at += lineBreak;
                continue;
            }
            if (at + 1 < text.size()) line += text[++at];
        } else {
            if (c == '"') quoted = !quoted;
            line += IsBlank(c) && !quoted ? ' ' : c;
        }
    }
    return !quoted;
}

// Words as a Windows program's C runtime splits its command line; false on
// an unclosed quote.
bool SplitCmdLine(const std::string& line, std::vector<std::string>& words) {
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t at = 0; at < line.size(); ++at) {
        const char c = line[at];
        if (IsBlank(c) && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
            continue;
        }
        inWord = true;
        if (c == '\\') {
            size_t backslashes = 0;
            while (at < line.size() && line[at] == '\\') ++backslashes, ++at;
            if (at < line.size() && line[at] == '"') {
                word.append(backslashes / 2, '\\');
                if (backslashes % 2 == 1) {
                    word += '"';
                } else {
                    --at;  // the quote opens or closes
                }
            } else {
                word.append(backslashes, '\\');
                --at;
            }
        } else if (c == '"') {
            if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
                word += '"';
                ++at;
            } else {
                quoted = !quoted;
            }
        } else {
            word += c;
        }
    }
    if (inWord) words.push_back(word);
    return !quoted;
}

bool SplitWords(const std::string& text, std::vector<std::string>& words) {
    if (!IsCmdForm(text)) return SplitPosix(text, words);
    std::string line;
    return UnescapeCmd(text, line) && SplitCmdLine(line, words);
}

enum class Taken { kAddress, kHeader, kUserAgent, kReferer, kCookie };

struct TakenOption {
    char shortName;
    const char* longName;
    Taken taken;
};

constexpr TakenOption kTaken[] = {
    {'\0', "--url", Taken::kAddress},         {'H', "--header", Taken::kHeader},
    {'A', "--user-agent", Taken::kUserAgent}, {'e', "--referer", Taken::kReferer},
    {'b', "--cookie", Taken::kCookie},
};

// Options left aside that take a value, which must not be read as the address.
constexpr char kShortWithValue[] = "dXouxmwFTrEKDcyYzUCQtP";
constexpr const char* kLongWithValue[] = {
    "--request",
    "--data",
    "--data-raw",
    "--data-binary",
    "--data-ascii",
    "--data-urlencode",
    "--json",
    "--form",
    "--form-string",
    "--output",
    "--output-dir",
    "--user",
    "--proxy",
    "--proxy-user",
    "--preproxy",
    "--noproxy",
    "--max-time",
    "--connect-timeout",
    "--write-out",
    "--upload-file",
    "--range",
    "--cacert",
    "--capath",
    "--cert",
    "--cert-type",
    "--key",
    "--key-type",
    "--ciphers",
    "--config",
    "--dump-header",
    "--cookie-jar",
    "--resolve",
    "--connect-to",
    "--retry",
    "--retry-delay",
    "--retry-max-time",
    "--interface",
    "--limit-rate",
    "--max-redirs",
    "--time-cond",
    "--url-query",
    "--oauth2-bearer",
    "--speed-limit",
    "--speed-time",
    "--variable",
    "--max-filesize",
    "--trace",
    "--trace-ascii",
    "--stderr",
    "--unix-socket",
    "--tls-max",
    "--proto",
    "--proto-redir",
    "--dns-servers",
    "--doh-url",
    "--socks4",
    "--socks4a",
    "--socks5",
    "--socks5-hostname",
    "--aws-sigv4",
    "--keepalive-time",
    "--local-port",
    "--expect100-timeout",
    "--pinnedpubkey",
};

bool LongTakesValue(const std::string& name) {
    return std::any_of(std::begin(kLongWithValue), std::end(kLongWithValue),
                       [&](const char* option) { return name == option; });
}

// Reads the words after "curl" into the command.
class OptionReader {
  public:
    explicit OptionReader(CurlCommand& command) : command_(command) {}

    void Read(const std::vector<std::string>& words) {
        for (size_t at = 1; at < words.size() && command_.problem == CurlProblem::kNone; ++at) {
            const std::string& word = words[at];
            const auto valueAfter = [&]() -> std::optional<std::string> {
                if (at + 1 == words.size()) return std::nullopt;
                return words[++at];
            };
            if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
                ReadLong(word, valueAfter);
            } else if (word.size() > 1 && word[0] == '-') {
                ReadShort(word, valueAfter);
            } else if (command_.address.empty()) {
                command_.address = word;
            }
        }
        if (command_.problem == CurlProblem::kNone && command_.address.empty()) {
            command_.problem = CurlProblem::kNoAddress;
        }
    }

  private:
    template <typename ValueAfter>
    void ReadLong(const std::string& word, const ValueAfter& valueAfter) {
        for (const TakenOption& option : kTaken) {
            if (word == option.longName) return Take(option.taken, valueAfter());
        }
        if (LongTakesValue(word) && !valueAfter()) return Missing();
        Ignore(word);
    }

    // A cluster such as "-sS", or an option with its value attached ("-XGET").
    template <typename ValueAfter>
    void ReadShort(const std::string& word, const ValueAfter& valueAfter) {
        for (size_t letter = 1; letter < word.size(); ++letter) {
            const char name = word[letter];
            const auto value = [&]() -> std::optional<std::string> {
                if (letter + 1 < word.size()) return word.substr(letter + 1);
                return valueAfter();
            };
            for (const TakenOption& option : kTaken) {
                if (name == option.shortName) return Take(option.taken, value());
            }
            Ignore(std::string("-") + name);
            if (std::strchr(kShortWithValue, name) != nullptr) {
                if (!value()) Missing();
                return;
            }
        }
    }

    void Take(Taken taken, const std::optional<std::string>& value) {
        if (!value) return Missing();
        switch (taken) {
            case Taken::kAddress:
                if (command_.address.empty()) command_.address = *value;
                break;
            case Taken::kHeader:
                TakeHeaderLine(*value);
                break;
            case Taken::kUserAgent:
                TakeHeader({"User-Agent", *value}, "-A");
                break;
            case Taken::kReferer: {
                std::string referer = *value;
                const size_t suffix = sizeof kRefererAuto - 1;
                if (referer.size() >= suffix &&
                    referer.compare(referer.size() - suffix, suffix, kRefererAuto) == 0) {
                    referer.resize(referer.size() - suffix);
                }
                TakeHeader({"Referer", referer}, "-e");
                break;
            }
            case Taken::kCookie:
                if (value->find('=') == std::string::npos) {
                    command_.problem = CurlProblem::kCookieFile;
                } else {
                    TakeHeader({kCookie, Trimmed(*value)}, "-b");
                }
                break;
        }
    }

    // "Name: value"; a header without a value ("Name:" takes curl's own
    // away, "Name;" sends it empty) is not one a download needs.
    void TakeHeaderLine(const std::string& line) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos) return Ignore("-H");
        const std::string value = Trimmed(line.substr(colon + 1));
        if (value.empty()) return Ignore("-H");
        TakeHeader({Trimmed(line.substr(0, colon)), value}, "-H");
    }

    void TakeHeader(net::RequestHeader header, const char* option) {
        if (net::IsSetByProgram(header.name)) {
            std::vector<std::string>& own = command_.programsOwn;
            if (std::none_of(own.begin(), own.end(), [&](const std::string& name) {
                    return SameName(name, header.name);
                })) {
                own.push_back(header.name);
            }
            return;
        }
        if (!net::IsForwardable(header)) return Ignore(option);
        for (net::RequestHeader& known : command_.headers) {
            if (!SameName(known.name, header.name)) continue;
            if (SameName(header.name, kCookie)) {
                known.value += kCookieJoint + header.value;
            } else {
                known.value = std::move(header.value);
            }
            return;
        }
        command_.headers.push_back(std::move(header));
    }

    // Each option once, however often it stands.
    void Ignore(const std::string& option) {
        std::vector<std::string>& ignored = command_.ignored;
        if (std::find(ignored.begin(), ignored.end(), option) == ignored.end()) {
            ignored.push_back(option);
        }
    }
    void Missing() { command_.problem = CurlProblem::kMissingValue; }

    CurlCommand& command_;
};

}  // namespace

bool IsCurlCommand(const std::string& text) {
    const std::string trimmed = Trimmed(text);
    const size_t blank = std::find_if(trimmed.begin(), trimmed.end(), IsBlank) - trimmed.begin();
    if (blank == trimmed.size()) return false;
    const std::string program = trimmed.substr(0, blank);
    return SameName(program, kCurl) || SameName(program, kCurlExe);
}

std::string JoinCommandLines(const std::string& text) {
    const char mark = IsCmdForm(text) ? '^' : '\\';
    std::string joined;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == mark) {
            if (const size_t lineBreak = LineBreakAt(text, at + 1)) {
                at += lineBreak;
                continue;
            }
        }
        if (const size_t lineBreak = LineBreakAt(text, at)) {
            joined += ' ';
            at += lineBreak - 1;
            continue;
        }
        joined += text[at];
    }
    return joined;
}

CurlCommand ReadCurlCommand(const std::string& text) {
    CurlCommand command;
    std::vector<std::string> words;
    if (!SplitWords(text, words)) {
        command.problem = CurlProblem::kUnbalancedQuotes;
        return command;
    }
    OptionReader(command).Read(words);
    return command;
}

}  // namespace app
