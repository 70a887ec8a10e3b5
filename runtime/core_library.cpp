#include "runtime/core_library.h"

#include "runtime/com_commands.h"
#include "runtime/conversion_commands.h"
#include "runtime/date_commands.h"
#include "runtime/file_commands.h"
#include "runtime/message_box_command.h"
#include "runtime/process_commands.h"
#include "runtime/system_error_text.h"
#include "runtime/text_commands.h"
#include "ui/window_commands.h"

namespace runtime {

namespace {

// The core library's command table. Application code calls the commands by
// address through CallCoreCommand; the table lists what the library offers.
const CommandFunction kCoreCommands[] = {
    // Texts
    TextLength, LeftText, RightText, MiddleText, FindText, FindTextBackward, ToLowerCase,
    ReplaceSubtext, SplitText, BlankText, RepeatText,
    // Conversions and byte sets
    ToText, ToByteSet, BlankByteSet, LengthOfByteSet, BitwiseAnd, ShiftRight,
    // Dates
    ToDateTime, Now, TimeDifference, HourOf, MinuteOf, SecondOf,
    // Files, directories, processes, message boxes
    RunDirectory, ReadWholeFile, WriteWholeFile, RemoveDirectoryTree, RunAndCapture, ShowMessageBox,
    LastErrorText,
    // Windows and units
    AddText, WindowHandleOf, LoadWindowCommand, DiscardPendingInput,
    // COM objects and variants
    CreateObject, ReadTextProperty, ReadDoubleProperty, ReadObjectProperty, ReadVariantProperty,
    CallTextMethod, CallObjectMethod, WriteProperty, AssignObject, ReleaseObject, IsObjectEmpty,
    CopyVariant, ClearVariant, VariantToText, SetVariant,
};

}  // namespace

const LibraryDescriptor kCoreLibrary = {"core", nullptr, kCoreCommands,
                                        sizeof kCoreCommands / sizeof kCoreCommands[0]};

}  // namespace runtime
