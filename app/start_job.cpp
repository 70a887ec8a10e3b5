// "开始": download every segment of segmentList into a fresh job directory,
// join them with tool\ffmpeg.exe, and move the video to Data.
#include <windows.h>

#include <string>

#include "app/calls.h"
#include "app/code_page.h"
#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/download_status.h"
#include "app/globals.h"
#include "app/handlers.h"
#include "app/job_name.h"
#include "app/log.h"
#include "app/owned_text.h"
#include "app/units.h"
#include "app/window_ids.h"
#include "runtime/conversion_commands.h"
#include "runtime/file_commands.h"
#include "runtime/message_box_command.h"
#include "runtime/process_commands.h"
#include "runtime/text_commands.h"

namespace {

constexpr uint32_t kYesNo = 4;
constexpr int32_t kYes = 5;

struct Job {
    std::string runDirectory;  // without a trailing backslash
    std::string directory;     // ends with a backslash
    std::string list;          // the concatenation list, one line per downloaded segment
};

const app::ConstantTexts& K() { return app::Constants(); }

std::string RunDirectory() {
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    return app::OwnedText(CallCoreCommand(runtime::RunDirectory, 0, none)).c_str();
}

bool EnsureDirectory(std::string path) {
    if (path.empty() || path.back() != '\\') path += K().backslash;
    return app::CallDeclared(app::kMakeSureDirectoryPathExists, path.c_str()) != 0;
}

// Writes the bytes of a text (without its terminator) to a file.
void WriteTextFile(const std::string& path, const char* text) {
    const runtime::ArgRecord toBytes[] = {app::TextArg(text)};
    void* bytes = reinterpret_cast<void*>(app::CallCore(runtime::ToByteSet, toBytes).low);
    const runtime::ArgRecord args[] = {app::TextArg(path.c_str()), app::ByteSetArg(bytes)};
    app::CallCore(runtime::WriteWholeFile, args);
    FreeMemory(bytes);
}

// A path inside a quoted entry of the concatenation list: each apostrophe
// closes the quotes, stands escaped, and opens them again.
std::string ListEntryPath(const std::string& path) {
    const runtime::ArgRecord args[] = {app::TextArg(path.c_str()), app::TextArg(K().apostrophe),
                                       app::TextArg(K().quoteEscape)};
    return app::OwnedText(app::CallCore(runtime::ReplaceSubtext, args)).c_str();
}

std::string Quoted(const std::string& path) { return K().quote + path + K().quote; }

bool FileExists(const std::string& path) {
    HANDLE search = nullptr;
    char* found = reinterpret_cast<char*>(
        NotifyRuntime(runtime::notify::kFileSearchStep, path.c_str(), 0u, 0u, &search));
    if (search) NotifyRuntime(runtime::notify::kFileSearchClose, search);
    FreeMemory(found);
    return found != nullptr;
}

void RemoveJobDirectory(const Job& job) {
    const runtime::ArgRecord args[] = {app::TextArg(job.directory.c_str())};
    app::CallCore(runtime::RemoveDirectoryTree, args);
}

bool PrepareJob(Job& job) {
    job.runDirectory = RunDirectory();
    job.directory = job.runDirectory + K().dataJobPrefix + app::JobName() + K().jobSuffix;
    if (!EnsureDirectory(job.directory)) {
        app::Log(K().logDirectoryFailed);
        return false;
    }
    WriteTextFile(job.directory + K().playlistFileName, app::playlistText);
    app::Log(K().logDirectoryMade + job.directory + K().logDirectoryMadeEnd);
    return true;
}

void DownloadSegments(Job& job) {
    const runtime::ArgRecord splitArgs[] = {app::TextArg(app::segmentList), app::TextArg(K().segmentSeparator)};
    void* addresses = reinterpret_cast<void*>(app::CallCore(runtime::SplitText, splitArgs).low);
    const int32_t count = static_cast<int32_t>(runtime::ArrayElementCount(addresses));
    const std::string total = std::to_string(count);
    for (int32_t i = 1; i <= count; ++i) {
        const char* address = *static_cast<char**>(app::ArrayElement(addresses, i, sizeof(char*)));
        const std::string index = std::to_string(i);
        const std::string segmentFile = job.directory + index + K().segmentExtension;
        app::Log(K().logDownloading + index + K().slash + total + K().logDownloadingEnd);
        // An error page is saved and reported as success: the status callback tells.
        app::DownloadStatus status;
        const bool downloaded = app::CallDeclared(app::kURLDownloadToFileA, 0, address ? address : app::EmptyText(),
                                                  segmentFile.c_str(), 0,
                                                  static_cast<IBindStatusCallback*>(&status)) == 0 &&
                                !status.ServerRefused();
        // Only what arrived goes to the list: a missing file would end the merge there.
        if (downloaded) job.list += K().listLineStart + ListEntryPath(segmentFile) + K().listLineEnd;
        app::Log(K().logDownloadOpen + index + K().slash + total +
                 (downloaded ? K().logDownloadSucceeded : K().logDownloadFailed));
    }
    for (int32_t i = 1; i <= count; ++i) {
        FreeMemory(*static_cast<char**>(app::ArrayElement(addresses, i, sizeof(char*))));
    }
    FreeMemory(addresses);
    app::Log(K().logDownloadsDone);
}

// Runs the tool, logs its report, and moves the merged file to the target.
bool MergeAndMove(const Job& job, const std::string& commandLine, const std::string& target) {
    char* outputText = nullptr;
    char* errorText = nullptr;
    const runtime::ArgRecord args[] = {app::TextArg(commandLine.c_str()),
                                       {reinterpret_cast<uint32_t>(&outputText), 0, runtime::tag::kText},
                                       {reinterpret_cast<uint32_t>(&errorText), 0, runtime::tag::kText}};
    app::CallCore(runtime::RunAndCapture, args);
    const app::OwnedText output(outputText), errors(errorText);
    app::Log(K().lineBreak + std::string(output.empty() ? errors.c_str() : output.c_str()) + K().lineBreak);
    const std::string merged = job.directory + K().outputFileName;
    return app::CallDeclared(app::kMoveFileA, merged.c_str(), target.c_str()) == 1;
}

void Merge(const Job& job) {
    app::Log(K().logMerging);
    WriteTextFile(job.directory + K().listFileName, app::Utf8FromAnsi(job.list).c_str());

    const std::string commandLine = Quoted(job.runDirectory + K().toolPath) + K().commandConcat +
                                    Quoted(job.directory + K().listFileName) + K().commandCopy +
                                    Quoted(job.directory + K().outputFileName);
    const app::OwnedText name = app::ContentOf(app::kOutputNameBox);
    const std::string target = job.runDirectory + K().dataDirectory +
                               (name.empty() ? std::string(K().outputFileName) : name.c_str() + std::string(K().mp4Extension));

    bool moved = MergeAndMove(job, commandLine, target);
    if (!moved) {
        const runtime::ArgRecord question[] = {app::TextArg(K().retryQuestion), app::IntegerArg(kYesNo),
                                               {0, 0, 0},
                                               app::UnitArg(app::kMainWindowId, app::kMainWindowUnit, app::kWindowType)};
        if (static_cast<int32_t>(app::CallCore(runtime::ShowMessageBox, question).low) == kYes) {
            moved = MergeAndMove(job, commandLine, target);
            if (!moved) app::Log(K().logMergeFailed + target + K().lineBreak);
        }
    }
    if (moved) {
        app::Log(K().logMergeSucceeded);
        app::Log(K().logSavedAt + target + K().lineBreak);
    }
    // A merged video that could not be moved stays where it is, never deleted.
    const std::string merged = job.directory + K().outputFileName;
    if (!moved && FileExists(merged)) {
        app::Log(K().logMergedVideoKept + merged + K().lineBreak);
        return;
    }
    RemoveJobDirectory(job);
}

}  // namespace

extern "C" void onStartClicked() {
    app::SetDisabled(app::kStartButton, true);
    Job job;
    if (PrepareJob(job)) {
        DownloadSegments(job);
        Merge(job);
    }
    app::SetDisabled(app::kStartButton, false);
}
