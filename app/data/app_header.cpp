// The header the runtime reads at start-up, and the tables it points to.
#include <array>
#include <utility>

#include "app/data/app_image.h"
#include "app/declared_calls.h"
#include "app/libraries.h"
#include "app/runtime_entries.h"
#include "g_templateData.h"
#include "net/internet_library.h"
#include "ui/drag_drop/drag_drop_library.h"
#include "ui/units/core_library.h"
#include "ui/units/extended_interface_library.h"

namespace {

constexpr const app::ConstantTexts& k = g_appImage.constants;

// The declared calls' library and entry names, matched by position.
const char* const kDeclaredLibraries[app::kDeclaredCallCount] = {
#define DECLARED_CALL(name, library, text) k.library,
#include "app/declared_calls.def"
#undef DECLARED_CALL
};

const char* const kDeclaredEntries[app::kDeclaredCallCount] = {
#define DECLARED_CALL(name, library, text) k.entry##name,
#include "app/declared_calls.def"
#undef DECLARED_CALL
};

constexpr const runtime::LibraryDescriptor* LibraryOf(int32_t number) {
    switch (number) {
        case app::kCoreLibrary:
            return &ui::kCoreLibrary;
        case app::kExtendedInterfaceLibrary:
            return &ui::kExtendedInterfaceLibrary;
        case app::kDragDropLibrary:
            return &drag_drop::kDragDropLibrary;
        case app::kInternetLibrary:
            return &net::kInternetLibrary;
        default:
            return nullptr;
    }
}

// Entry i of the table is library number i + 1.
template <size_t... Index>
constexpr std::array<const runtime::LibraryDescriptor*, sizeof...(Index)> LibraryTable(
    std::index_sequence<Index...>) {
    return {LibraryOf(static_cast<int32_t>(Index) + 1)...};
}

constexpr auto kLibraries = LibraryTable(std::make_index_sequence<app::kLastLibrary>());

}  // namespace

extern "C" const runtime::AppHeader g_appHeader = {
    3,                           // mode
    0,                           // reserved
    116004,                      // build number
    AppCodeStart + 4,            // handler base
    g_appImage.constants.empty,  // constant block
    sizeof(app::ConstantTexts),
    g_templateData,  // window templates
    g_templateDataLength,
    kLibraries.size(),
    kLibraries.data(),
    app::kDeclaredCallCount,
    kDeclaredLibraries,
    kDeclaredEntries,
};
