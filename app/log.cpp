#include "app/log.h"

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/owned_values.h"
#include "app/units.h"
#include "runtime/conversion_commands.h"
#include "ui/window_commands.h"

namespace app {

namespace {

// The fields of a SYSTEMTIME, kept as 32-bit integers.
struct LocalTime {
    int32_t year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

LocalTime ReadLocalTime() {
    uint16_t record[8] = {};
    CallDeclared(kGetLocalTime, record);
    return {record[0], record[1], record[2], record[3], record[4], record[5], record[6], record[7]};
}

std::string NumberText(int32_t number) {
    const runtime::ArgRecord args[] = {IntegerArg(number)};
    return OwnedText(CallCore(runtime::ToText, args)).c_str();
}

}  // namespace

std::string LogStamp() {
    const LocalTime now = ReadLocalTime();
    const ConstantTexts& k = Constants();
    return std::string(k.stampOpen) + NumberText(now.hour) + k.stampSeparator +
           NumberText(now.minute) + k.stampSeparator + NumberText(now.second) + k.stampClose;
}

void Log(const std::string& message) {
    const std::string line = LogStamp() + message;
    const runtime::ArgRecord args[] = {UnitArg(windows::kLogBox), TextArg(line.c_str())};
    CallCore(ui::AddText, args);
}

}  // namespace app
