#include "runtime/core_library.h"

#include "runtime/file_commands.h"
#include "runtime/message_box_command.h"
#include "runtime/process_commands.h"

namespace runtime {

namespace {

// The core library's command table. Application code calls the commands by
// address through CallCoreCommand; the table lists what the library offers.
const CommandFunction kCoreCommands[] = {
    RunDirectory,
    ReadWholeFile,
    WriteWholeFile,
    RemoveDirectoryTree,
    RunAndCapture,
    ShowMessageBox,
};

}  // namespace

const LibraryDescriptor kCoreLibrary = {"core", nullptr, kCoreCommands,
                                        sizeof kCoreCommands / sizeof kCoreCommands[0]};

}  // namespace runtime
