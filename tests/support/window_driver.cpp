#include "tests/support/window_driver.h"

namespace driver {

namespace {

struct Search {
    DWORD processId;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && ::IsWindowVisible(window) &&
        WindowText(window) == *search->title) {
        search->found = window;
        return FALSE;
    }
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
        Search search{processId, &title, nullptr};
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

bool PressButton(HWND box, int controlId) {
    HWND button = ::GetDlgItem(box, controlId);
    if (!button) return false;
    ::PostMessageA(button, BM_CLICK, 0, 0);
    return true;
}

}  // namespace driver
