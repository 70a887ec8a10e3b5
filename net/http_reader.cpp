#include "net/http_reader.h"

#include <memory>
#include <string>

#include "net/http_get.h"
#include "net/memory_sink.h"
#include "net/transfer_limits.h"
#include "runtime/command_args.h"
#include "runtime/memory.h"

namespace net {

namespace {

void StoreTextArgument(int32_t argCount, const runtime::ArgRecord* args, int32_t index,
                       const std::string& text) {
    if (!runtime::IsGiven(argCount, args, index)) return;
    runtime::StoreText(runtime::VariableArgument<char*>(args[index]),
                       runtime::NewText(text.data(), text.size()));
}

}  // namespace

void FetchUrl(runtime::ArgRecord* result, int32_t argCount, const runtime::ArgRecord* args) {
    const std::string address = argCount > 0 ? runtime::TextArgument(args[0]) : "";
    std::string failure, finalAddress;
    if (!address.empty()) {
        const HttpGetReference get(new HttpGet(address, HttpVersion::k10,
                                               std::make_unique<MemorySink>(kLargestPlaylistBody),
                                               kLargestPlaylistBody));
        if (HttpGet::RunWatched(*get.get(), &failure) == GetOutcome::kArrived) {
            const std::string& body = static_cast<MemorySink&>(get->sink()).body();
            runtime::SetPointer(result, runtime::NewByteSet(body.data(), body.size()));
            finalAddress = get->finalAddress();
        }
    }
    StoreTextArgument(argCount, args, 1, failure);
    StoreTextArgument(argCount, args, 2, finalAddress);
}

}  // namespace net
