#include "tests/net/fetch_url.h"

#include <windows.h>

#include "app/calls.h"
#include "net/http_reader.h"
#include "runtime/memory.h"
#include "tests/net/libraries.h"

namespace test_app {

Fetched FetchUrlWithReason(const std::string& address) {
    char* failure = nullptr;
    const runtime::ArgRecord args[] = {
        app::TextArg(address.c_str()),
        {reinterpret_cast<uint32_t>(&failure), 0, runtime::tag::kText}};
    void* byteSet = reinterpret_cast<void*>(
        ::CallLibraryCommand(kInternetLibraryIndex, net::FetchUrl, 2, args).low);
    Fetched fetched;
    if (byteSet) {
        fetched.body.assign(reinterpret_cast<const char*>(runtime::ByteSetData(byteSet)),
                            runtime::ByteSetLength(byteSet));
    }
    fetched.failure = failure ? failure : "";
    runtime::FreeMemory(byteSet);
    runtime::FreeMemory(failure);
    return fetched;
}

}  // namespace test_app
