// Speed of the text commands on large inputs, one figure per line as
// "name value unit". The text is 64 MiB of ASCII words, double-byte
// characters (some with trail bytes that look like letters) and line breaks.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "app/calls.h"
#include "runtime/memory.h"
#include "runtime/startup.h"
#include "runtime/text_commands.h"
#include "tests/support/test_app.h"

namespace {

using runtime::ArgRecord;

constexpr size_t kTextBytes = 64u << 20;
constexpr int kRounds = 3;
const char kSought[] = "the end of \xD6\xD0\xCE\xC4 text";  // 中文
const char kReplaced[] = "\xD6\xD0";                        // 中
constexpr uint32_t kPieces = 1000000;

double Seconds() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of a few rounds, so that a page-fault warm-up does not count. `work`
// returns the block it made, which `release` frees outside the timing.
template <typename Work>
double BestSeconds(Work work, void (*release)(void*) = runtime::FreeMemory) {
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round) {
        const double start = Seconds();
        void* block = work();
        const double elapsed = Seconds() - start;
        release(block);
        if (elapsed < best) best = elapsed;
    }
    return best;
}

std::string MixedText(size_t size, const char* sought) {
    std::mt19937 random(1);
    auto below = [&](uint32_t n) { return random() % n; };
    std::string text;
    text.reserve(size + 64);
    while (text.size() < size - 1024) {
        switch (below(8)) {
            case 0:
            case 1:
            case 2:
                for (uint32_t n = 2 + below(9); n; --n) text += static_cast<char>('a' + below(26));
                text += ' ';
                break;
            case 3:
            case 4:
                for (uint32_t n = 1 + below(8); n; --n) {
                    text += static_cast<char>(0xB0 + below(0x48));
                    text += static_cast<char>(0xA1 + below(0x5E));
                }
                break;
            case 5:
                // Trail bytes in the ASCII range, as in the GBK extension rows.
                text += static_cast<char>(0x81 + below(0x20));
                text += static_cast<char>(0x40 + below(0x3F));
                break;
            case 6:
                text += kReplaced;
                break;
            default:
                text += below(4) ? ", " : "\r\n";
        }
    }
    text += sought;
    text.append(size - text.size(), '.');
    return text;
}

// The reference: memchr for the first byte, memcmp for the rest, blind to characters.
size_t PlainScan(const char* text, size_t length, const char* sought, size_t k) {
    const char* p = text;
    const char* last = text + length - k;
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, sought[0], static_cast<size_t>(last - p) + 1));
        if (!p) return static_cast<size_t>(-1);
        if (std::memcmp(p + 1, sought + 1, k - 1) == 0) return static_cast<size_t>(p - text);
        ++p;
    }
    return static_cast<size_t>(-1);
}

void Report(const char* name, double value, const char* unit) {
    std::printf("%s %.3f %s\n", name, value, unit);
}

}  // namespace

int main() {
    runtime::AttachApplication(g_appHeader);
    runtime::InitialiseRuntime();

    const std::string text = MixedText(kTextBytes, kSought);
    const double megabytes = static_cast<double>(text.size()) / (1 << 20);
    const size_t planted = text.find(kSought);

    int32_t found = 0;
    const double findSeconds = BestSeconds([&]() -> void* {
        const ArgRecord args[] = {
            app::TextArg(text.c_str()), app::TextArg(kSought), {0, 0, 0}, app::LogicalArg(false)};
        found = static_cast<int32_t>(app::CallCore(runtime::FindText, args).low);
        return nullptr;
    });
    size_t plain = 0;
    const double plainSeconds = BestSeconds([&]() -> void* {
        plain = PlainScan(text.c_str(), text.size(), kSought, std::strlen(kSought));
        return nullptr;
    });
    if (found != static_cast<int32_t>(planted) + 1 || plain != planted) {
        std::fprintf(stderr, "searches disagree: %d and %u, planted at %u\n", found,
                     static_cast<unsigned>(plain), static_cast<unsigned>(planted));
        return 1;
    }
    Report("find_text_mb_s", megabytes / findSeconds, "MB/s");
    Report("memmem_mb_s", megabytes / plainSeconds, "MB/s");

    const double replaceSeconds = BestSeconds([&] {
        const ArgRecord args[] = {app::TextArg(text.c_str()),
                                  app::TextArg(kReplaced),
                                  app::TextArg("[zh]"),
                                  {0, 0, 0},
                                  {0, 0, 0},
                                  app::LogicalArg(true)};
        return reinterpret_cast<void*>(app::CallCore(runtime::ReplaceSubtext, args).low);
    });
    Report("replace_mb_s", megabytes / replaceSeconds, "MB/s");

    std::string pieces;
    for (uint32_t i = 0; i < kPieces; ++i) pieces += (i ? ",item" : "item") + std::to_string(i);
    uint32_t pieceCount = 0;
    const double splitSeconds = BestSeconds(
        [&] {
            const ArgRecord args[] = {app::TextArg(pieces.c_str()), app::TextArg(",")};
            void* block = reinterpret_cast<void*>(app::CallCore(runtime::SplitText, args).low);
            pieceCount = runtime::ArrayElementCount(block);
            return block;
        },
        runtime::FreeTextArray);
    if (pieceCount != kPieces) {
        std::fprintf(stderr, "split gave %u pieces\n", static_cast<unsigned>(pieceCount));
        return 1;
    }
    Report("split_1e6_s", splitSeconds, "s");
    return 0;
}
