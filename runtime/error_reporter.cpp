#include "runtime/error_reporter.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "runtime/shutdown.h"

namespace runtime {

namespace messages {
const char kLoadStartupWindowFailed[] = "载入启动窗口失败";
const char kTemplateSegmentUnreadable[] = "载入窗口模板数据段出错!";
const char kWindowNotLoaded[] = "指定窗口尚未载入";
const char kUnitWindowNotLoaded[] = "未载入欲访问窗口组件所在的窗口";
const char kWindowOrUnitMissing[] = "指定窗口或窗口组件不存在或尚未载入";
const char kNotNumeric[] = "欲转换数据类型不是数值";
const char kAllocationFailed[] = "分配 %d 字节内存失败!";
const char kEntryMissingInLibrary[] = "无法找到指定DLL库文件“%s”中的输出命令“%s”";
const char kEntryMissing[] = "无法找到指定DLL库文件中的输出命令“%s”";
}  // namespace messages

namespace {

const char* const kCodedMessages[] = {
    "数组成员引用下标超出定义范围",
    "未得到所需要的数值型数据",
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",
    "数组成员引用下标必须大于等于1",
    "数据或数组类型不匹配",
    "调用DLL命令后发现堆栈错误",
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",
    "被比较数据只能使用等于或不等于命令比较",
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",
    "所提供参数的数据类型不符合要求",
};
constexpr int32_t kCodedMessageCount = sizeof(kCodedMessages) / sizeof(kCodedMessages[0]);

ErrorHook g_errorHook = nullptr;
// An error inside the hook shows its dialog rather than calling the hook again.
bool g_insideErrorHook = false;

}  // namespace

const char* CodedErrorMessage(int32_t code) {
    return code >= 1 && code <= kCodedMessageCount ? kCodedMessages[code - 1] : "";
}

std::string ErrorDialogText(const char* message, int32_t code) {
    std::string text = "运行时出错!\r\n\r\n";
    if (code != 0) {
        text += "错误代码：";
        text += std::to_string(code);
        text += "\r\n\r\n";
    }
    if (message && *message) {
        text += "错误信息：";
        text += message;
        text += "\r\n";
    }
    return text;
}

void Report(const char* message, int32_t code) {
    bool suppressed = false;
    if (g_errorHook && !g_insideErrorHook) {
        g_insideErrorHook = true;
        suppressed = g_errorHook(code, message ? message : "") != 0;
        g_insideErrorHook = false;
    }
    if (!suppressed) {
        ::MessageBoxA(nullptr, ErrorDialogText(message, code).c_str(), "错误",
                      MB_ICONERROR | MB_OK);
    }

    EndProgramAfterError(-1);
}

void ReportFormatted(int32_t code, const char* format, ...) {
    char message[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    Report(message, code);
}

void RaiseRuntimeError(int32_t code) { Report(CodedErrorMessage(code), code); }

void SetErrorHook(ErrorHook hook) { g_errorHook = hook; }

}  // namespace runtime
