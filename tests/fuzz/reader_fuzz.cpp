// A mutation fuzzer for the readers of untrusted bytes: the picture readers
// and the window-template reader. It mutates seed files (bit flips, stray
// bytes, large words, cuts, splices) and decodes each result; before every
// decode it writes the input to `last-input` in the output directory, so a
// crash leaves the input behind. The readers' tests replay a fixed run of the
// same mutations; an input that breaks a reader becomes a case of its test.
//
//   reader_fuzz.exe pictures|templates OUTPUT_DIR SECONDS SEED_FILE...
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/guarded_bytes.h"
#include "tests/fuzz/mutator.h"
#include "ui/template_reader.h"
#include "ui/units/picture/decoded_image.h"

namespace {

std::vector<uint8_t> ReadFile(const char* path) {
    std::vector<uint8_t> bytes;
    if (FILE* file = std::fopen(path, "rb")) {
        uint8_t buffer[65536];
        size_t read;
        while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.insert(bytes.end(), buffer, buffer + read);
        }
        std::fclose(file);
    }
    return bytes;
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: reader_fuzz pictures|templates OUTPUT_DIR SECONDS SEED_FILE...\n");
        return 2;
    }
    const bool templates = std::string(argv[1]) == "templates";
    const std::string output = argv[2];
    const DWORD seconds = static_cast<DWORD>(std::atoi(argv[3]));
    std::vector<std::vector<uint8_t>> seeds;
    for (int i = 4; i < argc; ++i) seeds.push_back(ReadFile(argv[i]));
    std::mt19937 random(12345);
    const DWORD start = ::GetTickCount();
    unsigned long runs = 0;
    while (::GetTickCount() - start < seconds * 1000) {
        const std::vector<uint8_t>& seed = seeds[random() % seeds.size()];
        const std::vector<uint8_t> input = fuzz::Mutate(seed, random, seeds);
        WriteFile(output + "\\last-input", input);
        const fuzz::GuardedBytes guarded(input);
        if (templates) {
            ui::TemplateSegment segment;
            ui::ReadTemplateSegment(guarded.data(), guarded.size(), nullptr, &segment);
        } else {
            ui::DecodeImage(guarded.data(), guarded.size(), random() % 2 == 0);
        }
        ++runs;
    }
    std::printf("%lu inputs decoded without a crash\n", runs);
    return 0;
}
