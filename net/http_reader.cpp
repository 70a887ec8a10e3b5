#include "net/http_reader.h"

#include <memory>
#include <string>

#include "net/http_get.h"
#include "runtime/command_args.h"
#include "runtime/memory.h"

namespace net {

namespace {

// The body gathered in memory, for a playlist or a key.
class MemorySink : public BodySink {
  public:
    bool Keep(const char* data, uint32_t size) override {
        body_.append(data, size);
        return true;
    }
    const std::string& body() const { return body_; }

  private:
    std::string body_;
};

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
        const HttpGetReference get(
            new HttpGet(address, HttpVersion::k10, std::make_unique<MemorySink>()));
        if (HttpGet::RunWatched(*get.get(), &failure) == GetOutcome::kArrived) {
            const std::string& body = static_cast<const MemorySink&>(get->sink()).body();
            runtime::SetPointer(result, runtime::NewByteSet(body.data(), body.size()));
            finalAddress = get->finalAddress();
        }
    }
    StoreTextArgument(argCount, args, 1, failure);
    StoreTextArgument(argCount, args, 2, finalAddress);
}

}  // namespace net
