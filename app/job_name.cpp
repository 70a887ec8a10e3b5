#include "app/job_name.h"

#include "app/calls.h"
#include "app/crypt_handles.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/local_time.h"
#include "app/owned_values.h"
#include "runtime/conversion_commands.h"
#include "runtime/date_commands.h"
#include "runtime/text_commands.h"

namespace app {

namespace {

constexpr uint32_t kProvRsaFull = 1;
constexpr uint32_t kVerifyContext = 0xF0000000;
constexpr uint32_t kMd5 = 0x8003;
constexpr uint32_t kHashValue = 2;
constexpr int32_t kSecondsUnit = 8;
constexpr size_t kTimeTextLength = 10;

// A command's result as an argument of the type the command returns: the
// record comes back with its value only, and a value without its type is
// one no command can read.
runtime::ArgRecord Typed(runtime::ArgRecord result, runtime::TypeTag tag) {
    result.tag = tag;
    return result;
}

std::string SecondsSinceEpoch() {
    const ConstantTexts& k = Constants();
    const runtime::ArgRecord epochArgs[] = {TextArg(k.jobEpoch)};
    const runtime::ArgRecord epoch =
        Typed(CallCore(runtime::ToDateTime, epochArgs), runtime::tag::kDateTime);
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    const runtime::ArgRecord now =
        Typed(CallCoreCommand(runtime::Now, 0, none), runtime::tag::kDateTime);
    const runtime::ArgRecord difference[] = {now, epoch, IntegerArg(kSecondsUnit)};
    const runtime::ArgRecord seconds =
        Typed(CallCore(runtime::TimeDifference, difference), runtime::tag::kDouble);
    const runtime::ArgRecord asText[] = {seconds};
    return OwnedText(CallCore(runtime::ToText, asText)).c_str();
}

}  // namespace

std::string UnixTimeText() {
    const ConstantTexts& k = Constants();
    const runtime::ArgRecord millisecondsArgs[] = {IntegerArg(ReadLocalTime().milliseconds)};
    std::string milliseconds = OwnedText(CallCore(runtime::ToText, millisecondsArgs)).c_str();
    while (milliseconds.size() < 3) milliseconds = k.zero + milliseconds;
    std::string text = SecondsSinceEpoch() + milliseconds;
    text.resize(kTimeTextLength < text.size() ? kTimeTextLength : text.size());
    while (text.size() < kTimeTextLength) text += k.zero;
    return text;
}

std::string Md5Hex(const std::string& bytes) {
    CryptContext provider;
    if (!CallDeclared(kCryptAcquireContextA, provider.Put(), EmptyText(), EmptyText(), kProvRsaFull,
                      kVerifyContext) &&
        !CallDeclared(kCryptAcquireContextA, provider.Put(), EmptyText(), EmptyText(), kProvRsaFull,
                      0)) {
        return {};
    }
    CryptHash hash;
    if (!CallDeclared(kCryptCreateHash, provider.get(), kMd5, 0, 0, hash.Put())) return {};
    uint8_t value[16] = {};
    uint32_t length = sizeof value;
    if (!CallDeclared(kCryptHashData, hash.get(), bytes.data(), static_cast<uint32_t>(bytes.size()),
                      0) ||
        !CallDeclared(kCryptGetHashParam, hash.get(), kHashValue, value, &length, 0)) {
        return {};
    }
    std::string digits;
    const char* hex = Constants().hexDigits;
    for (uint8_t byte : value) {
        digits += hex[byte >> 4];
        digits += hex[byte & 0xF];
    }
    return digits;
}

std::string NextTimeText(const std::string& timeText) {
    std::string next = timeText;
    for (auto digit = next.rbegin(); digit != next.rend(); ++digit) {
        if (*digit != '9') {
            ++*digit;
            return next;
        }
        *digit = '0';
    }
    return '1' + next;
}

std::string JobNameOf(const std::string& timeText) {
    const std::string digest = Md5Hex(timeText);
    const runtime::ArgRecord args[] = {TextArg(digest.c_str())};
    const std::string lower = OwnedText(CallCore(runtime::ToLowerCase, args)).c_str();
    return lower.size() >= 24 ? lower.substr(8, 16) : lower;
}

}  // namespace app
