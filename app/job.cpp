#include "app/job.h"

#include "app/calls.h"
#include "app/owned_values.h"
#include "runtime/conversion_commands.h"
#include "runtime/file_commands.h"

namespace app {

std::string FileOf(const Job& job, const Track& track, const std::string& name) {
    return job.directory + track.filePrefix + name;
}

std::string NumberedName(const std::string& name, size_t number) {
    const size_t dot = name.rfind('.');
    return name.substr(0, dot) + Constants().numberSeparator + std::to_string(number) +
           name.substr(dot);
}

void WriteTextFile(const std::string& path, const char* text) {
    const runtime::ArgRecord toBytes[] = {TextArg(text)};
    const OwnedByteSet bytes(reinterpret_cast<void*>(CallCore(runtime::ToByteSet, toBytes).low));
    const runtime::ArgRecord args[] = {TextArg(path.c_str()), ByteSetArg(bytes.get())};
    CallCore(runtime::WriteWholeFile, args);
}

}  // namespace app
