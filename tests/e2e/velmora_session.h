// Velmora as a person runs it: a run directory of its own holding the program
// and tool\ffmpeg.exe, the real process started there, its main window driven
// through its controls, and its log read back.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "window_names.h"

namespace e2e {

// The windows and units as the program's templates name them.
namespace windows = app::windows;

constexpr char kQuestionCaption[] = "信息：";

// A fresh directory under the temporary directory, holding Velmora.exe and
// tool\ffmpeg.exe from the build; `name` is the last component (blanks and
// Chinese characters are the point of some tests). Removed again on request.
class RunDirectory {
  public:
    explicit RunDirectory(const std::string& name = "velmora");
    // A folder someone made, such as an unpacked release: used as it is and
    // left in place.
    static std::unique_ptr<RunDirectory> Existing(const std::string& path);
    ~RunDirectory();
    RunDirectory(const RunDirectory&) = delete;
    RunDirectory& operator=(const RunDirectory&) = delete;

    bool ok() const { return ok_; }
    // Without a trailing backslash, as the program names it.
    const std::string& path() const { return path_; }
    std::string Data() const { return path_ + "\\Data"; }
    // Kept after a failed test, for a look at what the program left.
    void Keep() { keep_ = true; }

  private:
    struct Adopted {};
    RunDirectory(Adopted, const std::string& path);

    std::string parent_;  // made for the test and removed after it; or empty
    std::string path_;
    bool ok_ = false;
    bool keep_ = false;
};

// One running copy of the program.
class Velmora {
  public:
    explicit Velmora(const RunDirectory& run);
    ~Velmora();

    driver::ChildProcess& process() { return *process_; }
    // The main window once it shows; null if it never did.
    HWND main() const { return main_; }
    HWND Control(const windows::Unit& unit) const { return ::GetDlgItem(main_, unit.control); }
    bool Enabled(const windows::Unit& unit) const {
        return ::IsWindowEnabled(Control(unit)) != FALSE;
    }

    // The unit's text; empty when the window gives no answer within `timeoutMs`.
    std::string Text(const windows::Unit& unit, DWORD timeoutMs = 60000) const;
    void SetText(const windows::Unit& unit, const std::string& text) const;
    // Presses a button as a click does. A disabled button is refused: a
    // posted BM_CLICK would reach its handler where a person's click cannot.
    bool Press(const windows::Unit& unit) const;

    std::string Log(DWORD timeoutMs = 60000) const { return Text(windows::kLogBox, timeoutMs); }
    // Waits until the log holds `text` at or after byte `from`; false after timeoutMs.
    bool WaitForLog(const std::string& text, DWORD timeoutMs, size_t from = 0) const;
    // Reads the window style, so it answers while a handler keeps the program busy.
    bool WaitUntilEnabled(const windows::Unit& unit, DWORD timeoutMs) const;

    // Waits for the program's message box with this caption; null if none came.
    HWND WaitForBox(const std::string& caption, DWORD timeoutMs) const;

    // Closes the main window and waits for the exit code.
    DWORD Close();

  private:
    std::unique_ptr<driver::ChildProcess> process_;
    HWND main_ = nullptr;
};

// The messages of the stamped lines of a log, in order, stamp and line end
// taken off; lines without a stamp (the tool's report) are left out.
// `badStamps` collects every stamp that is not "[h:m:s]" without leading zeros.
std::vector<std::string> Messages(const std::string& log, std::vector<std::string>* badStamps);

// The text after the first message that starts with `prefix`, empty if none.
std::string MessageAfter(const std::vector<std::string>& messages, const std::string& prefix);

// Whether a stamp reads "[h:m:s]" with numbers in range and no leading zeros.
bool IsLogStamp(const std::string& stamp);

// The names in a directory (no "." or ".."), sorted.
std::vector<std::string> DirectoryNames(const std::string& directory);
bool FileExists(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace e2e
