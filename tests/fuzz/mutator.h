// The mutations of the reader fuzzer, shared with the readers' tests that
// replay a fixed run of them: bit flips, stray bytes, boundary words, cuts,
// inserted bytes and splices of another seed's tail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace fuzz {

inline std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes, std::mt19937& random,
                                   const std::vector<std::vector<uint8_t>>& seeds) {
    const int rounds = 1 + static_cast<int>(random() % 4);
    for (int round = 0; round < rounds && !bytes.empty(); ++round) {
        const size_t at = random() % bytes.size();
        switch (random() % 6) {
            case 0:
                bytes[at] ^= static_cast<uint8_t>(1u << (random() % 8));
                break;
            case 1:
                bytes[at] = static_cast<uint8_t>(random());
                break;
            case 2: {  // a large or boundary word
                static const uint32_t kWords[] = {
                    0, 1, 0x7F, 0x80, 0xFF, 0xFFFF, 0x10000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
                const uint32_t word = kWords[random() % (sizeof kWords / sizeof kWords[0])];
                for (int i = 0; i < 4 && at + i < bytes.size(); ++i)
                    bytes[at + i] = uint8_t(word >> (8 * i));
                break;
            }
            case 3:
                bytes.resize(at);
                break;
            case 4:
                bytes.insert(bytes.begin() + static_cast<ptrdiff_t>(at), uint8_t(random()));
                break;
            default: {  // splice the tail of another seed
                const std::vector<uint8_t>& other = seeds[random() % seeds.size()];
                if (other.empty()) break;
                const size_t from = random() % other.size();
                bytes.resize(at);
                bytes.insert(bytes.end(), other.begin() + static_cast<ptrdiff_t>(from),
                             other.end());
            }
        }
    }
    return bytes;
}

}  // namespace fuzz
