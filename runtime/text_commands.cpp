#include "runtime/text_commands.h"

#include <cstring>
#include <vector>

#include "runtime/command_args.h"
#include "runtime/memory.h"
#include "runtime/text_scan.h"

namespace runtime {

namespace {

// Longest text a command builds; beyond it a request is bad input, not exhaustion.
constexpr uint64_t kLargestText = 0x7FFFFFF0;

const char* TextAt(int32_t argCount, const ArgRecord* args, int32_t index,
                   const char* fallback = "") {
    return IsGiven(argCount, args, index) ? TextArgument(args[index]) : fallback;
}

// 0-based offset of a 1-based start position; positions below 1 count as 1.
size_t OffsetOf(int32_t start) { return start > 1 ? static_cast<size_t>(start) - 1 : 0; }

bool IgnoresCase(int32_t argCount, const ArgRecord* args, int32_t index) {
    return index < argCount && args[index].low == 1;
}

void SetPosition(ArgRecord* result, size_t offset) {
    SetInteger(result, offset == kNotFound ? -1 : static_cast<int32_t>(offset) + 1);
}

// A text result grown geometrically on the runtime heap; it is freed unless
// Release hands it over.
class TextBuilder {
  public:
    explicit TextBuilder(size_t capacity)
        : data_(static_cast<char*>(AllocMemory(static_cast<uint32_t>(capacity + 1)))),
          capacity_(capacity) {}
    TextBuilder(const TextBuilder&) = delete;
    TextBuilder& operator=(const TextBuilder&) = delete;
    ~TextBuilder() { FreeMemory(data_); }

    void Append(const char* bytes, size_t n) {
        if (size_ + n > capacity_) {
            capacity_ = size_ + n > capacity_ * 2 ? size_ + n : capacity_ * 2;
            data_ = static_cast<char*>(ReallocMemory(data_, static_cast<uint32_t>(capacity_ + 1)));
        }
        std::memcpy(data_ + size_, bytes, n);
        size_ += n;
    }

    // The finished text, or null when it is empty.
    char* Release() {
        if (size_ == 0) return nullptr;
        if (capacity_ > size_) data_ = static_cast<char*>(ReallocMemory(data_, size_ + 1));
        data_[size_] = '\0';
        char* text = data_;
        data_ = nullptr;
        return text;
    }

  private:
    char* data_;
    size_t size_ = 0;
    size_t capacity_;
};

void* NewTextArray(const std::vector<char*>& texts) {
    const size_t count = texts.size();
    auto* block = static_cast<int32_t*>(AllocMemory(static_cast<uint32_t>(8 + 4 * count)));
    block[0] = 1;
    block[1] = static_cast<int32_t>(count);
    if (count) std::memcpy(block + 2, texts.data(), 4 * count);
    return block;
}

}  // namespace

void TextLength(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    SetInteger(result, static_cast<int32_t>(std::strlen(TextAt(argCount, args, 0))));
}

void LeftText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 2) return;
    const char* text = TextArgument(args[0]);
    const int32_t n = IntegerArgument(args[1]);
    if (n <= 0) return;
    const size_t length = std::strlen(text);
    SetText(result, NewText(text, length < static_cast<size_t>(n) ? length : n));
}

void RightText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 2) return;
    const char* text = TextArgument(args[0]);
    const int32_t n = IntegerArgument(args[1]);
    if (n <= 0) return;
    const size_t length = std::strlen(text);
    const size_t taken = length < static_cast<size_t>(n) ? length : n;
    SetText(result, NewText(text + length - taken, taken));
}

void MiddleText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 3) return;
    const char* text = TextArgument(args[0]);
    const int32_t start = IntegerArgument(args[1]);
    const int32_t n = IntegerArgument(args[2]);
    const size_t length = std::strlen(text);
    if (start < 1 || static_cast<size_t>(start) > length || n <= 0) return;
    const size_t offset = static_cast<size_t>(start) - 1;
    const size_t rest = length - offset;
    SetText(result, NewText(text + offset, rest < static_cast<size_t>(n) ? rest : n));
}

void FindText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    const char* text = TextAt(argCount, args, 0);
    const char* sought = TextAt(argCount, args, 1);
    const size_t from = IsGiven(argCount, args, 2) ? OffsetOf(IntegerArgument(args[2])) : 0;
    // Only the bytes up to the start need to exist; measuring all of a long text costs as
    // much as searching it.
    if (std::memchr(text, '\0', from + 1)) return SetInteger(result, -1);
    const size_t k = std::strlen(sought);
    if (k == 0) return SetInteger(result, 1);
    SetPosition(result, IgnoresCase(argCount, args, 3)
                            ? FindBytes(text, std::strlen(text), from, sought, k, true)
                            : FindInText(text, from, sought, k));
}

void FindTextBackward(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    const char* text = TextAt(argCount, args, 0);
    const char* sought = TextAt(argCount, args, 1);
    const size_t length = std::strlen(text);
    size_t end = length;
    if (IsGiven(argCount, args, 2)) {
        const size_t offset = OffsetOf(IntegerArgument(args[2]));
        if (offset < end) end = offset;
    }
    const size_t k = std::strlen(sought);
    if (k == 0) return SetInteger(result, end ? 1 : -1);
    const bool ignoreCase = IgnoresCase(argCount, args, 3);
    size_t last = kNotFound;
    for (size_t from = 0;;) {
        const size_t found = FindBytes(text, end, from, sought, k, ignoreCase);
        if (found == kNotFound) break;
        last = found;
        from = found + CharacterLength(text, length, found);
    }
    SetPosition(result, last);
}

void ToLowerCase(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    const char* text = TextAt(argCount, args, 0);
    const size_t length = std::strlen(text);
    if (length == 0) return;
    char* lower = static_cast<char*>(AllocMemory(static_cast<uint32_t>(length + 1)));
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
        if (IsLeadByte(c) && i + 1 < length) {
            ++i;
            lower[i] = text[i];
        }
    }
    lower[length] = '\0';
    SetText(result, lower);
}

void ReplaceSubtext(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    const char* text = TextAt(argCount, args, 0);
    const char* sought = TextAt(argCount, args, 1);
    const char* replacement = TextAt(argCount, args, 2);
    const size_t length = std::strlen(text);
    const size_t k = std::strlen(sought);
    const size_t from = IsGiven(argCount, args, 3) ? OffsetOf(IntegerArgument(args[3])) : 0;
    // A negative count never runs out: it replaces every occurrence.
    const int32_t count = IsGiven(argCount, args, 4) ? IntegerArgument(args[4]) : -1;
    if (length == 0 || k == 0 || from >= length || count == 0) {
        return SetText(result, NewText(text, length));
    }
    const bool ignoreCase = !(IsGiven(argCount, args, 5) && args[5].low != 0);
    const size_t r = std::strlen(replacement);

    // Output no longer than the input needs no growth; otherwise start with some headroom.
    TextBuilder output(r <= k ? length : length + length / 8 + r);
    output.Append(text, from);
    size_t pos = from;
    for (int32_t replaced = 0; replaced != count;) {
        const size_t found = FindBytes(text, length, pos, sought, k, ignoreCase);
        if (found == kNotFound) break;
        output.Append(text + pos, found - pos);
        output.Append(replacement, r);
        pos = found + k;
        if (count > 0) ++replaced;
    }
    output.Append(text + pos, length - pos);
    SetText(result, output.Release());
}

void SplitText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    const char* text = TextAt(argCount, args, 0);
    const char* delimiter = TextAt(argCount, args, 1, ",");
    const size_t length = std::strlen(text);
    const size_t k = std::strlen(delimiter);
    // A negative maximum means no piece at all; without one the count is unlimited.
    int64_t remaining = -1;
    if (IsGiven(argCount, args, 2)) {
        const int32_t maximum = IntegerArgument(args[2]);
        remaining = maximum > 0 ? maximum : 0;
    }

    std::vector<char*> pieces;
    if (length != 0 && remaining != 0) {
        if (k == 0) {
            pieces.push_back(NewText(text, length));
        } else {
            size_t cut = 0;
            while (remaining != 0) {
                const size_t found = FindBytes(text, length, cut, delimiter, k, false);
                if (found == kNotFound) break;
                pieces.push_back(NewText(text + cut, found - cut));
                cut = found + k;
                if (remaining > 0) --remaining;
            }
            if (cut < length && remaining != 0) pieces.push_back(NewText(text + cut, length - cut));
        }
    }
    SetPointer(result, NewTextArray(pieces));
}

void BlankText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 1) return;
    const int32_t n = IntegerArgument(args[0]);
    if (n <= 0) return;
    char* text = static_cast<char*>(AllocMemory(static_cast<uint32_t>(n) + 1));
    std::memset(text, ' ', static_cast<size_t>(n));
    text[n] = '\0';
    SetText(result, text);
}

void RepeatText(ArgRecord* result, int32_t argCount, const ArgRecord* args) {
    if (argCount < 2) return;
    const int32_t n = IntegerArgument(args[0]);
    const char* text = TextArgument(args[1]);
    const size_t length = std::strlen(text);
    if (n <= 0 || length == 0) return;
    const uint64_t total = static_cast<uint64_t>(n) * length;
    if (total > kLargestText) return;
    char* repeated = static_cast<char*>(AllocMemory(static_cast<uint32_t>(total) + 1));
    std::memcpy(repeated, text, length);
    // Double the filled part: log n copies instead of n.
    for (size_t filled = length; filled < total;) {
        const size_t chunk = filled < total - filled ? filled : static_cast<size_t>(total) - filled;
        std::memcpy(repeated + filled, repeated, chunk);
        filled += chunk;
    }
    repeated[total] = '\0';
    SetText(result, repeated);
}

void FreeTextArray(void* block) {
    if (!block) return;
    auto** texts = reinterpret_cast<char**>(static_cast<uint8_t*>(block) + ArrayHeaderSize(block));
    const uint32_t count = ArrayElementCount(block);
    for (uint32_t i = 0; i < count; ++i) FreeMemory(texts[i]);
    FreeMemory(block);
}

}  // namespace runtime
