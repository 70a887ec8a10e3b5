// Handlers of the main window and of its drop target and donation button.
#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/handlers.h"
#include "app/libraries.h"
#include "app/log.h"
#include "app/pasted_request.h"
#include "app/units.h"
#include "runtime/message_box_command.h"
#include "ui/drag_drop/drag_drop_library.h"
#include "ui/window_commands.h"

namespace {

constexpr uint32_t kWaitTimeout = 0x102;
constexpr uint32_t kInformationIcon = 0x40;

// Another copy owns the mutex: say so and end this one.
void EndIfAnotherCopyRuns() {
    const app::ConstantTexts& k = app::Constants();
    const uint32_t noSecurity[3] = {0, 0, 0};
    const uint32_t mutex = app::CallDeclared(app::kCreateMutexA, noSecurity, 1, k.mutexName);
    if (app::CallDeclared(app::kWaitForSingleObject, mutex, 100) != kWaitTimeout) return;
    app::CallDeclared(app::kReleaseMutex, mutex);
    app::CallDeclared(app::kCloseHandle, mutex);
    const runtime::ArgRecord box[] = {app::TextArg(k.secondInstanceText),
                                      app::IntegerArg(kInformationIcon),
                                      app::TextArg(k.secondInstanceCaption)};
    app::CallCore(runtime::ShowMessageBox, box);
    EndProgram(0);
}

HWND AddressBox() {
    const runtime::ArgRecord handleOf[] = {app::UnitArg(app::windows::kAddressBox)};
    return reinterpret_cast<HWND>(app::CallCore(ui::WindowHandleOf, handleOf).low);
}

void RegisterForDrops(HWND addressBox) {
    const runtime::ArgRecord args[] = {
        app::UnitArg(app::windows::kDropTarget),
        app::IntegerArg(static_cast<int32_t>(reinterpret_cast<uintptr_t>(addressBox)))};
    CallLibraryCommand(app::ListIndex(app::kDragDropLibrary), drag_drop::RegisterWindow, 2, args);
}

}  // namespace

extern "C" {

void onMainWindowCreated() {
    EndIfAnotherCopyRuns();
    const HWND addressBox = AddressBox();
    RegisterForDrops(addressBox);
    app::KeepPastedCommandsWhole(addressBox);
    app::Log(app::Constants().chineseDirectoryWarning);
}

void onFileDropped(char** path) {
    const char* dropped = path && *path ? *path : "";
    const std::string content = std::string(app::Constants().filePrefix) + dropped;
    app::SetContent(app::windows::kAddressBox, content.c_str());
}

void onDonateClicked() {
    const runtime::ArgRecord args[] = {app::UnitArg(app::windows::kDonationWindow),
                                       app::UnitArg(app::windows::kMainWindow),
                                       app::LogicalArg(true)};
    app::CallCore(ui::LoadWindowCommand, args);
}

}  // extern "C"
