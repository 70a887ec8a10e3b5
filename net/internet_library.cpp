#include "net/internet_library.h"

#include "net/http_reader.h"
#include "net/internet_root.h"

namespace net {

namespace {

uint32_t NotifyInternetLibrary(int32_t code, uint32_t /*arg1*/, uint32_t /*arg2*/) {
    if (code == runtime::library_notify::kEnd) CloseInternetRoot();
    return 0;
}

const runtime::CommandFunction kInternetCommands[] = {
    FetchUrl,
};

}  // namespace

// It has no unit types.
const runtime::LibraryDescriptor kInternetLibrary = {
    "internet",        NotifyInternetLibrary,
    kInternetCommands, sizeof kInternetCommands / sizeof kInternetCommands[0],
    nullptr,           0};

}  // namespace net
