#include "tests/support/window_driver.h"

namespace driver {

namespace {

struct Search {
    DWORD processId;
    const std::string* title;
    HWND found;
    std::vector<HWND> all;
};

bool Matches(const Search& search, HWND window) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    return owner == search.processId && ::IsWindowVisible(window) &&
           WindowText(window) == *search.title;
}

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (!Matches(*search, window)) return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    if (Matches(*search, window)) search->all.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

}  // namespace

HWND WaitForWindow(DWORD processId, const std::string& title, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        Search search{processId, &title, nullptr, {}};
        ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        if (::GetTickCount() - start > timeoutMs) return nullptr;
        ::Sleep(20);
    }
}

std::string WindowText(HWND window) {
    char text[4096] = {};
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

std::string ClassName(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<HWND> Children(HWND window) {
    std::vector<HWND> children;
    ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::string MessageBoxText(HWND box) {
    for (HWND child : Children(box)) {
        if (ClassName(child) != "Static") continue;
        std::string text = WindowText(child);
        if (!text.empty()) return text;
    }
    return {};
}

std::vector<HWND> Buttons(HWND box) {
    std::vector<HWND> buttons;
    for (HWND child : Children(box)) {
        if (ClassName(child) == "Button" && ::IsWindowVisible(child)) buttons.push_back(child);
    }
    return buttons;
}

bool HasIcon(HWND box) {
    for (HWND child : Children(box)) {
        if (ClassName(child) == "Static" && (::GetWindowLongA(child, GWL_STYLE) & SS_ICON)) {
            return true;
        }
    }
    return false;
}

HWND FindChildByText(HWND parent, const std::string& text) {
    for (HWND child : Children(parent)) {
        if (WindowText(child) == text) return child;
    }
    return nullptr;
}

void BringToFront(HWND window) {
    // Other tests' windows may stand in the way: lift ours above them.
    HWND root = ::GetAncestor(window, GA_ROOT);
    ::SetWindowPos(root, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ::SetForegroundWindow(root);
    // A click on a window that is not yet active may only activate it.
    for (int attempt = 0; attempt < 50 && ::GetForegroundWindow() != root; ++attempt) ::Sleep(20);
}

void ClickAtMiddle(HWND window) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    ::Sleep(50);
    INPUT clicks[2] = {};
    clicks[0].type = clicks[1].type = INPUT_MOUSE;
    clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, clicks, sizeof(INPUT));
}

void TypeKeys(const std::string& keys) {
    std::vector<INPUT> presses;
    for (char key : keys) {
        INPUT press = {};
        press.type = INPUT_KEYBOARD;
        press.ki.wVk = static_cast<WORD>(key);
        presses.push_back(press);
        press.ki.dwFlags = KEYEVENTF_KEYUP;
        presses.push_back(press);
    }
    ::SendInput(static_cast<UINT>(presses.size()), presses.data(), sizeof(INPUT));
}

void PressChord(const std::vector<WORD>& keys) {
    std::vector<INPUT> presses;
    for (size_t i = 0; i < 2 * keys.size(); ++i) {
        const bool down = i < keys.size();
        INPUT press = {};
        press.type = INPUT_KEYBOARD;
        press.ki.wVk = down ? keys[i] : keys[2 * keys.size() - 1 - i];
        press.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        presses.push_back(press);
    }
    ::SendInput(static_cast<UINT>(presses.size()), presses.data(), sizeof(INPUT));
}

void ClickWithMouse(HWND window) {
    BringToFront(window);
    RECT rect;
    ::GetWindowRect(window, &rect);
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    for (int attempt = 0; attempt < 50 && ::WindowFromPoint(middle) != window; ++attempt)
        ::Sleep(20);
    ClickAtMiddle(window);
    ::SetWindowPos(::GetAncestor(window, GA_ROOT), HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

std::vector<HWND> TopLevelWindows(DWORD processId, const std::string& title) {
    Search search{processId, &title, nullptr, {}};
    ::EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.all;
}

bool PressButton(HWND box, int controlId) {
    HWND button = ::GetDlgItem(box, controlId);
    if (!button) return false;
    ::PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

}  // namespace driver
