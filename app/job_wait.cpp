#include "app/job_wait.h"

#include <windows.h>

#include "app/calls.h"
#include "app/data/app_image.h"
#include "app/log.h"
#include "app/units.h"
#include "net/transfer_stop.h"
#include "runtime/message_box_command.h"
#include "ui/close_requests.h"
#include "ui/window_commands.h"

namespace app {

namespace {

constexpr uint32_t kYesNoQuestion = 0x24;
constexpr int32_t kYes = 5;

std::string g_directory;  // the job folder, ending with a backslash
bool g_stopping = false;

bool PersonWantsToQuit() {
    FlushLog();
    const ConstantTexts& k = Constants();
    const std::string question = k.quitQuestion + g_directory;
    const runtime::ArgRecord args[] = {TextArg(question.c_str()),
                                       IntegerArg(kYesNoQuestion),
                                       {0, 0, 0},
                                       UnitArg(windows::kMainWindow)};
    return static_cast<int32_t>(CallCore(runtime::ShowMessageBox, args).low) == kYes;
}

}  // namespace

void JobBegins(const std::string& directory) { g_directory = directory; }

bool WhileJobWaits() {
    FlushLogIfDue();
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    const auto request =
        static_cast<ui::CloseRequest>(CallCoreCommand(ui::HandleWaitingMessages, 0, none).low);
    if (g_stopping || request == ui::CloseRequest::kNone) return !g_stopping;
    if (request == ui::CloseRequest::kSessionEnding || PersonWantsToQuit()) {
        g_stopping = true;
        net::StopTransfers();
    }
    return !g_stopping;
}

bool JobStopping() { return g_stopping; }

void JobEnds() {
    if (!g_stopping) return;
    const ConstantTexts& k = Constants();
    Log(k.logJobStopped + g_directory + k.lineBreak);
    FlushLog();
    const runtime::ArgRecord main[] = {UnitArg(windows::kMainWindow)};
    ::PostMessageA(reinterpret_cast<HWND>(CallCore(ui::WindowHandleOf, main).low), WM_CLOSE, 0, 0);
}

}  // namespace app
