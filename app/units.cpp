#include "app/units.h"

#include "app/calls.h"
#include "app/log.h"
#include "runtime/message_box_command.h"
#include "ui/window_commands.h"

namespace app {

namespace {

// Common property 6, and the first property of an edit box's own.
constexpr int32_t kDisabledProperty = 6;
constexpr int32_t kContentProperty = 8;
constexpr uint32_t kYesNo = 4;
constexpr int32_t kYes = 5;

}  // namespace

void SetDisabled(const windows::Unit& unit, bool disabled) {
    WriteUnitProperty(unit.window, unit.id, kDisabledProperty, -1, disabled ? 1 : 0, 0);
}

OwnedText ContentOf(const windows::Unit& editBox) {
    return OwnedText(reinterpret_cast<char*>(
        static_cast<uint32_t>(ReadUnitProperty(editBox.window, editBox.id, kContentProperty, -1))));
}

void SetContent(const windows::Unit& editBox, const char* text) {
    WriteUnitProperty(editBox.window, editBox.id, kContentProperty, -1,
                      reinterpret_cast<uint32_t>(text), 0);
}

void DiscardInputMeanwhile() {
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    CallCoreCommand(ui::DiscardPendingInput, 0, none);
}

bool AskYesNo(const std::string& question) {
    FlushLog();
    const runtime::ArgRecord args[] = {
        TextArg(question.c_str()), IntegerArg(kYesNo), {0, 0, 0}, UnitArg(windows::kMainWindow)};
    return static_cast<int32_t>(CallCore(runtime::ShowMessageBox, args).low) == kYes;
}

}  // namespace app
