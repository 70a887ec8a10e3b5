// A program whose windows come from tests/programs/test_windows.tpl, started
// by the window tests with a scenario name and a report file:
//   properties   common properties written and read in the creation handler,
//                then an own property of a never-loaded window (an error)
//   events       waits for clicks; its handlers record what reaches them
//   reload       the creation handler loads its own window again
//   showcase     the showcase window; its button gets the picture file named
//                third as its picture, and the drop target is shown
//   left-open    ends with its window open, through exit() as a program whose
//                main returns does, running the static destructors
// Any scenario ends with code 3 when it deletes an object twice.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/calls.h"
#include "app/runtime_entries.h"
#include "g_templateData.h"
#include "runtime/error_reporter.h"
#include "runtime/file_commands.h"
#include "runtime/memory.h"
#include "ui/event_dispatch.h"
#include "ui/window_commands.h"
#include "window_names.h"

namespace {

namespace names = test_windows;
constexpr uint32_t kMainWindow = names::kMainWindow.id, kModalWindow = names::kModalWindow.id,
                   kNeverLoaded = names::kNeverLoaded.id;
constexpr uint32_t kFirstButton = names::kFirstButton.id, kSecondButton = names::kSecondButton.id;
constexpr uint32_t kEditBox = names::kEditBox.id, kLowEditBox = names::kLowEditBox.id,
                   kSpinEditBox = names::kSpinEditBox.id;
constexpr uint32_t kNeverLoadedEditBox = names::kNeverLoadedEditBox.id;
constexpr uint32_t kShowcase = names::kShowcase.id, kPictureButton = names::kPictureButton.id,
                   kShowcaseDropTarget = names::kShowcaseDropTarget.id;
constexpr int32_t kLeft = 0, kWidth = 2, kHeight = 3, kDisabled = 6, kContent = 8, kPicture = 8,
                  kMultiLine = 15, kSelectionLength = 25;

std::string g_scenario;
std::string g_reportPath;

void Record(const std::string& line) {
    if (FILE* file = std::fopen(g_reportPath.c_str(), "ab")) {
        std::fputs((line + "\n").c_str(), file);
        std::fclose(file);
    }
}

int32_t RecordingHook(int32_t code, const char* message) {
    Record("error " + std::to_string(code) + " " + message);
    return 1;
}

int32_t ReadInteger(uint32_t window, uint32_t unit, int32_t property) {
    return static_cast<int32_t>(ReadUnitProperty(window, unit, property, -1));
}

void Write(uint32_t window, uint32_t unit, int32_t property, int32_t value) {
    WriteUnitProperty(window, unit, property, -1, static_cast<uint32_t>(value), 0);
}

HWND NativeWindow(uint32_t window, uint32_t unit) {
    const runtime::ArgRecord args[] = {{window, unit, 0x00010005}};
    return reinterpret_cast<HWND>(app::CallCore(ui::WindowHandleOf, args).low);
}

void PropertiesScenario() {
    runtime::SetErrorHook(RecordingHook);
    Write(kMainWindow, kFirstButton, kWidth, 40000);
    Record("width " + std::to_string(ReadInteger(kMainWindow, kFirstButton, kWidth)));
    Write(kMainWindow, kFirstButton, kWidth, -5);
    Record("width " + std::to_string(ReadInteger(kMainWindow, kFirstButton, kWidth)));
    Write(kMainWindow, kFirstButton, kLeft, -40000);
    Record("left " + std::to_string(ReadInteger(kMainWindow, kFirstButton, kLeft)));
    Record("template left " +
           std::to_string(ReadInteger(kNeverLoaded, kNeverLoadedEditBox, kLeft)));
    ReadUnitProperty(kNeverLoaded, kNeverLoadedEditBox, kContent, -1);
    Record("not reached");
}

std::string Text(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

// What the edit boxes look like after creation, and after their properties change.
void RecordEditBoxes() {
    HWND low = NativeWindow(kMainWindow, kLowEditBox);
    RECT rect;
    ::GetWindowRect(low, &rect);
    Record("low box height " + std::to_string(rect.bottom - rect.top));

    HWND spin = ::GetDlgItem(::GetParent(NativeWindow(kMainWindow, kSpinEditBox)),
                             ::GetDlgCtrlID(NativeWindow(kMainWindow, kSpinEditBox)) + 4);
    int low32 = 0, high32 = 0;
    ::SendMessageA(spin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low32),
                   reinterpret_cast<LPARAM>(&high32));
    Record("spin " + std::to_string(low32) + " " + std::to_string(high32));

    Record("write content");
    char* content = const_cast<char*>("新内容");
    WriteUnitProperty(kMainWindow, kEditBox, kContent, -1, reinterpret_cast<uint32_t>(content), 0);
    Write(kMainWindow, kEditBox, kSelectionLength, -1);
    DWORD start = 0, end = 0;
    ::SendMessageA(NativeWindow(kMainWindow, kEditBox), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    Record("selection " + std::to_string(start) + " " + std::to_string(end));

    HWND before = NativeWindow(kMainWindow, kEditBox);
    RECT beforeRect;
    ::GetWindowRect(before, &beforeRect);
    Record("write multi-line");
    Write(kMainWindow, kEditBox, kMultiLine, 1);
    HWND after = NativeWindow(kMainWindow, kEditBox);
    RECT afterRect;
    ::GetWindowRect(after, &afterRect);
    const bool multiLine = (::GetWindowLongA(after, GWL_STYLE) & ES_MULTILINE) != 0;
    Record(std::string("multi-line ") + (multiLine ? "yes" : "no") + " text " + Text(after) +
           (::EqualRect(&beforeRect, &afterRect) ? " same place" : " moved"));
}

}  // namespace

extern "C" {

void onCreated() {
    Record("created");
    if (g_scenario == "properties") PropertiesScenario();
    if (g_scenario == "reload") {
        const runtime::ArgRecord args[] = {
            {kMainWindow, 0x06010001, 0x00010001}, {0, 0, 0}, app::LogicalArg(false)};
        Record(std::string("reload ") +
               (app::CallCore(ui::LoadWindowCommand, args).low ? "true" : "false"));
    }
}

// "label WINDOW UNIT" of the event now running.
void RecordSource(const char* label) {
    uint32_t window = 0, unit = 0;
    ui::CurrentEventSource(&window, &unit);
    char line[64];
    std::snprintf(line, sizeof line, "%s %08X %08X", label, window, unit);
    Record(line);
}

void onFirstClicked() {
    RecordSource("first");
    Write(kMainWindow, kSecondButton, kDisabled, 0);
    RecordEditBoxes();
    // The edit box's events ran inside this one.
    RecordSource("first again");
}

void onSecondClicked() { RecordSource("second"); }

void onEditChanged() { RecordSource("edit changed"); }

void onShowcaseCreated() {
    const std::string picture = __argc > 3 ? __argv[3] : "";
    const runtime::ArgRecord file[] = {app::TextArg(picture.c_str())};
    void* bytes = reinterpret_cast<void*>(app::CallCore(runtime::ReadWholeFile, file).low);
    HWND before = NativeWindow(kShowcase, kPictureButton);
    WriteUnitProperty(kShowcase, kPictureButton, kPicture, -1, reinterpret_cast<uint32_t>(bytes),
                      0);
    runtime::FreeMemory(bytes);
    HWND button = NativeWindow(kShowcase, kPictureButton);
    const LONG style = ::GetWindowLongA(button, GWL_STYLE);
    Record(std::string("button rebuilt ") + (button != before ? "yes" : "no") + " bitmap " +
           ((style & BS_BITMAP) ? "yes" : "no") + " caption " + Text(button));
    ::ShowWindow(NativeWindow(kShowcase, kShowcaseDropTarget), SW_SHOWNA);
}

void onModalClicked() {
    const runtime::ArgRecord args[] = {{kModalWindow, 0x06010002, 0x00010001},
                                       {kMainWindow, 0x06010001, 0x00010001},
                                       app::LogicalArg(true)};
    const bool loaded = app::CallCore(ui::LoadWindowCommand, args).low != 0;
    Record(std::string("modal returned ") + (loaded ? "true" : "false"));
}

int32_t AppStartup() {
    NotifyRuntime(runtime::notify::kInitialise);
    g_scenario = __argc > 1 ? __argv[1] : "";
    g_reportPath = __argc > 2 ? __argv[2] : "";
    LoadWindow(g_scenario == "showcase" ? kShowcase : kMainWindow);
    if (g_scenario == "left-open") std::exit(0);
    RunMessageLoop();
    return 0;
}

}  // extern "C"
