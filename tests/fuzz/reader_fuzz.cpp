// A mutation fuzzer for the readers of untrusted bytes: the picture readers
// and the window-template reader. It mutates seed files (bit flips, stray
// bytes, large words, cuts, splices) and decodes each result; before every
// decode it writes the input to `last-input` in the output directory, so a
// crash leaves the input behind. Inputs that break a reader belong in
// tests/data/breaking-inputs, where the readers' tests replay them.
//
//   reader_fuzz.exe pictures|templates OUTPUT_DIR SECONDS SEED_FILE...
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

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

std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& random,
                            const std::vector<std::vector<uint8_t>>& seeds) {
    const int rounds = 1 + static_cast<int>(random() % 4);
    for (int round = 0; round < rounds && !bytes.empty(); ++round) {
        const size_t at = random() % bytes.size();
        switch (random() % 6) {
            case 0: bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8)); break;
            case 1: bytes[at] = static_cast<uint8_t>(random()); break;
            case 2: {  // a large or boundary word
                static const uint32_t kWords[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x10000,
                                                  0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
                const uint32_t word = kWords[random() % (sizeof kWords / sizeof kWords[0])];
                for (int i = 0; i < 4 && at + i < bytes.size(); ++i) bytes[at + i] = uint8_t(word >> (8 * i));
                break;
            }
            case 3: bytes.resize(at); break;
            case 4: bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(at), uint8_t(random())); break;
            default: {  // splice the tail of another seed
                const std::vector<uint8_t>& other = seeds[random() % seeds.size()];
                if (other.empty()) break;
                const size_t from = random() % other.size();
                bytes.resize(at);
                bytes.insert(bytes.end(), other.begin() + static_cast<ptrdiff_t>(from), other.end());
            }
        }
    }
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr, "usage: reader_fuzz pictures|templates OUTPUT_DIR SECONDS SEED_FILE...\n");
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
        const std::vector<uint8_t> input = Mutate(seed, random, seeds);
        WriteFile(output + "\\last-input", input);
        if (templates) {
            ui::TemplateSegment segment;
            ui::ReadTemplateSegment(input.data(), input.size(), nullptr, &segment);
        } else {
            ui::DecodeImage(input.data(), input.size(), random() % 2 == 0);
        }
        ++runs;
    }
    std::printf("%lu inputs decoded without a crash\n", runs);
    return 0;
}
