// driver: drives a window of a running program from a script, as a person
// would. Texts travel as UTF-8 on the command line and on standard output.
//
//   driver wait TITLE [SECONDS]              wait until a window with TITLE shows
//   driver set-text TITLE CONTROL_ID TEXT    replace a control's text
//   driver paste TITLE CONTROL_ID TEXT       put TEXT on the clipboard and paste
//                                            it into the control, as Ctrl+V does
//   driver click TITLE CONTROL_ID            press a button
//   driver get-text TITLE CONTROL_ID         print a control's text
//   driver wait-text TITLE CONTROL_ID TEXT [SECONDS]
//                                            wait until the control's text holds TEXT
//   driver answer TITLE BUTTON_ID [SECONDS]  wait for a message box and press a button
//   driver close TITLE                       close a window
// Exit code 0 on success, 1 when the window or control was not found in time.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                          nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND window) {
    const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                   reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

DWORD Milliseconds(int argc, wchar_t** argv, int index, DWORD fallbackSeconds) {
    return (index < argc ? static_cast<DWORD>(_wtoi(argv[index])) : fallbackSeconds) * 1000;
}

HWND WaitForTitle(const wchar_t* title, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        HWND window = ::FindWindowW(nullptr, title);
        if (window && ::IsWindowVisible(window)) return window;
        if (::GetTickCount() - start >= timeoutMs) return nullptr;
        ::Sleep(50);
    }
}

HWND Control(const wchar_t* title, const wchar_t* controlId) {
    HWND window = WaitForTitle(title, 10000);
    return window ? ::GetDlgItem(window, _wtoi(controlId)) : nullptr;
}

bool PutOnClipboard(const std::wstring& text) {
    if (!::OpenClipboard(nullptr)) return false;
    ::EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    bool placed = false;
    if (memory) {
        std::memcpy(::GlobalLock(memory), text.c_str(), bytes);
        ::GlobalUnlock(memory);
        placed = ::SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
        if (!placed) ::GlobalFree(memory);
    }
    ::CloseClipboard();
    return placed;
}

int Fail(const char* what) {
    std::fprintf(stderr, "driver: %s\n", what);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return Fail("usage: see the comment at the top of tools/driver/main.cpp");
    const std::wstring command = argv[1];
    const wchar_t* title = argv[2];

    if (command == L"wait")
        return WaitForTitle(title, Milliseconds(argc, argv, 3, 30)) ? 0 : Fail("no window");
    if (command == L"close") {
        HWND window = WaitForTitle(title, 10000);
        if (!window) return Fail("no window");
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (command == L"answer" && argc >= 4) {
        HWND box = WaitForTitle(title, Milliseconds(argc, argv, 4, 30));
        HWND button = box ? ::GetDlgItem(box, _wtoi(argv[3])) : nullptr;
        if (!button) return Fail("no message box or button");
        ::PostMessageW(button, BM_CLICK, 0, 0);
        return 0;
    }
    if (argc < 4) return Fail("missing control identifier");
    HWND control = Control(title, argv[3]);
    if (!control) return Fail("no such window or control");

    if (command == L"set-text" && argc >= 5) {
        ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]));
        return 0;
    }
    if (command == L"paste" && argc >= 5) {
        if (!PutOnClipboard(argv[4])) return Fail("the clipboard cannot be had");
        ::SendMessageW(control, WM_PASTE, 0, 0);
        return 0;
    }
    if (command == L"click") {
        // Posted: the handler it starts may run for minutes.
        ::PostMessageW(control, BM_CLICK, 0, 0);
        return 0;
    }
    if (command == L"get-text") {
        std::fputs(Utf8(TextOf(control)).c_str(), stdout);
        return 0;
    }
    if (command == L"wait-text" && argc >= 5) {
        const DWORD timeout = Milliseconds(argc, argv, 5, 120);
        const DWORD start = ::GetTickCount();
        while (TextOf(control).find(argv[4]) == std::wstring::npos) {
            if (::GetTickCount() - start >= timeout) return Fail("text did not appear");
            ::Sleep(100);
        }
        return 0;
    }
    return Fail("unknown command");
}
