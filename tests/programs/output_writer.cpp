// Writes a given amount to standard output and standard error, interleaved,
// and exits with a given code:  output_writer OUT_BYTES ERR_BYTES EXIT_CODE
#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

void WriteSome(HANDLE to, char fill, size_t& remaining) {
    const std::string chunk(remaining < 4096 ? remaining : 4096, fill);
    DWORD written = 0;
    if (!chunk.empty())
        ::WriteFile(to, chunk.data(), static_cast<DWORD>(chunk.size()), &written, nullptr);
    remaining -= chunk.size();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    size_t outBytes = std::strtoul(argv[1], nullptr, 10);
    size_t errBytes = std::strtoul(argv[2], nullptr, 10);
    HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
    while (outBytes || errBytes) {
        WriteSome(out, 'o', outBytes);
        WriteSome(err, 'e', errBytes);
    }
    return std::atoi(argv[3]);
}
