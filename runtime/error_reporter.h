// The run-time error reporter: the one way out of the program for errors that
// cannot be recovered from. It shows one dialog and ends with exit code -1.
#pragma once

#include <cstdint>
#include <string>

#include "runtime/app_header.h"

namespace runtime {

namespace messages {
extern const char kLoadStartupWindowFailed[];
extern const char kTemplateSegmentUnreadable[];
extern const char kWindowNotLoaded[];
extern const char kUnitWindowNotLoaded[];
extern const char kWindowOrUnitMissing[];
extern const char kNotNumeric[];
extern const char kAllocationFailed[];       // %d: requested size
extern const char kEntryMissingInLibrary[];  // %s library, %s entry
extern const char kEntryMissing[];           // %s entry
}  // namespace messages

// Message of a coded error (1 to 11); "" for any other code.
const char* CodedErrorMessage(int32_t code);

// The text the error dialog shows.
std::string ErrorDialogText(const char* message, int32_t code);

[[noreturn]] void Report(const char* message, int32_t code);
[[noreturn]] void ReportFormatted(int32_t code, const char* format, ...);
[[noreturn]] void RaiseRuntimeError(int32_t code);

void SetErrorHook(ErrorHook hook);

}  // namespace runtime
