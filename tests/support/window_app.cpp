// The data of the window test program: its service table and constant block,
// and a header that points at the window templates of
// tests/programs/test_windows.tpl.
#include "app/runtime_entries.h"
#include "g_templateData.h"
#include "runtime/app_header.h"

struct WindowAppImage {
    runtime::ServiceTable services;
    char empty[1];
};

extern "C" {
WindowAppImage g_appImage = {{}, ""};
}

extern "C" const runtime::AppHeader g_appHeader = {
    3,
    0,
    1,
    AppCodeStart + 4,
    g_appImage.empty,
    sizeof g_appImage.empty,
    g_templateData,
    g_templateDataLength,
    0,
    nullptr,
    0,
    nullptr,
    nullptr,
};
