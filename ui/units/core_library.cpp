#include "ui/units/core_library.h"

#include "runtime/com_commands.h"
#include "runtime/conversion_commands.h"
#include "runtime/date_commands.h"
#include "runtime/file_commands.h"
#include "runtime/message_box_command.h"
#include "runtime/process_commands.h"
#include "runtime/system_error_text.h"
#include "runtime/text_commands.h"
#include "ui/engine.h"
#include "ui/units/button.h"
#include "ui/units/edit_box.h"
#include "ui/units/pic_box.h"
#include "ui/window_commands.h"
#include "ui/window_unit.h"

namespace ui {

namespace {

uint32_t Notify(int32_t code, uint32_t /*callback*/, uint32_t /*data*/) {
    if (code == runtime::library_notify::kAttach) AttachEngine();
    return 0;
}

// Application code calls the commands by address through CallCoreCommand;
// the table lists what the library offers.
const runtime::CommandFunction kCommands[] = {
    // Texts
    runtime::TextLength,
    runtime::LeftText,
    runtime::RightText,
    runtime::MiddleText,
    runtime::FindText,
    runtime::FindTextBackward,
    runtime::ToLowerCase,
    runtime::ReplaceSubtext,
    runtime::SplitText,
    runtime::BlankText,
    runtime::RepeatText,
    // Conversions and byte sets
    runtime::ToText,
    runtime::ToByteSet,
    runtime::BlankByteSet,
    runtime::LengthOfByteSet,
    runtime::BitwiseAnd,
    runtime::ShiftRight,
    // Dates
    runtime::ToDateTime,
    runtime::Now,
    runtime::TimeDifference,
    runtime::HourOf,
    runtime::MinuteOf,
    runtime::SecondOf,
    // Files, directories, processes, message boxes, system errors
    runtime::RunDirectory,
    runtime::ReadWholeFile,
    runtime::WriteWholeFile,
    runtime::RemoveDirectoryTree,
    runtime::RunAndCapture,
    runtime::ShowMessageBox,
    runtime::LastErrorText,
    // Windows and units
    ui::AddText,
    ui::WindowHandleOf,
    ui::LoadWindowCommand,
    ui::DiscardPendingInput,
    ui::HandleWaitingMessages,
    // COM objects and variants
    runtime::CreateObject,
    runtime::ReadTextProperty,
    runtime::ReadDoubleProperty,
    runtime::ReadObjectProperty,
    runtime::ReadVariantProperty,
    runtime::CallTextMethod,
    runtime::CallObjectMethod,
    runtime::WriteProperty,
    runtime::AssignObject,
    runtime::ReleaseObject,
    runtime::IsObjectEmpty,
    runtime::CopyVariant,
    runtime::ClearVariant,
    runtime::VariantToText,
    runtime::SetVariant,
};

// By unit number; the library's other types are not in this program.
const runtime::UnitTypeDescriptor* const kUnitTypes[] = {
    &kWindowType,   // 1
    nullptr,        // 2
    nullptr,        // 3
    nullptr,        // 4
    &kEditBoxType,  // 5
    &kPicBoxType,   // 6
    nullptr,        // 7
    nullptr,        // 8
    nullptr,        // 9
    nullptr,        // 10
    &kButtonType,   // 11
};

}  // namespace

const runtime::LibraryDescriptor kCoreLibrary = {
    "core",     &Notify,
    kCommands,  sizeof kCommands / sizeof kCommands[0],
    kUnitTypes, sizeof kUnitTypes / sizeof kUnitTypes[0]};

}  // namespace ui
