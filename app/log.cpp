#include "app/log.h"

#include <windows.h>

#include <utility>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/local_time.h"
#include "app/owned_values.h"
#include "app/units.h"
#include "runtime/conversion_commands.h"
#include "ui/window_commands.h"

namespace app {

namespace {

std::string NumberText(int32_t number) {
    const runtime::ArgRecord args[] = {IntegerArg(number)};
    return OwnedText(CallCore(runtime::ToText, args)).c_str();
}

void AddToLogBox(const std::string& text) {
    const runtime::ArgRecord args[] = {UnitArg(windows::kLogBox), TextArg(text.c_str())};
    CallCore(ui::AddText, args);
}

uint32_t TickCount() { return CallDeclared(kGetTickCount); }

struct Batch {
    bool open = false;
    DWORD thread = 0;  // the window's thread, which alone adds to the log box
    std::string queued;
    uint32_t lastFlush = 0;
};
Batch g_batch;

}  // namespace

std::string LogStamp() {
    const LocalTime now = ReadLocalTime();
    const ConstantTexts& k = Constants();
    return std::string(k.stampOpen) + NumberText(now.hour) + k.stampSeparator +
           NumberText(now.minute) + k.stampSeparator + NumberText(now.second) + k.stampClose;
}

void Log(const std::string& message) { LogContinued(LogStamp() + message); }

void LogContinued(const std::string& text) {
    if (!g_batch.open) {
        AddToLogBox(text);
        return;
    }
    g_batch.queued += text;
    FlushLogIfDue();
}

LogBatch::LogBatch() {
    g_batch.open = true;
    g_batch.thread = ::GetCurrentThreadId();
    g_batch.lastFlush = TickCount();
}

LogBatch::~LogBatch() {
    FlushLog();
    g_batch.open = false;
}

void FlushLog() {
    g_batch.lastFlush = TickCount();
    if (g_batch.queued.empty()) return;
    // Taken first: adding text lets messages through, and a line may come.
    const std::string lines = std::move(g_batch.queued);
    g_batch.queued.clear();
    AddToLogBox(lines);
}

void FlushLogIfDue() {
    if (g_batch.open && ::GetCurrentThreadId() == g_batch.thread &&
        TickCount() - g_batch.lastFlush >= kLogFlushIntervalMs) {
        FlushLog();
    }
}

}  // namespace app
