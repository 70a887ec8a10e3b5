#include "app/stream_codecs.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/mp4_box.h"
#include "runtime/owned.h"

namespace app {

namespace {

constexpr size_t kPacketSize = 188;
constexpr uint8_t kSyncByte = 0x47;
constexpr uint8_t kProgramMapTable = 0x02;
// A program map comes within the first packets, and a map file is small.
constexpr DWORD kReadBytes = 1 << 20;

uint16_t Twelve(const uint8_t* p) { return static_cast<uint16_t>(((p[0] & 0x0f) << 8) | p[1]); }
uint16_t Pid(const uint8_t* p) { return static_cast<uint16_t>(((p[0] & 0x1f) << 8) | p[1]); }

// The section that starts in a packet's payload, and its end within the
// packet; false for a packet that starts none.
bool SectionOf(const uint8_t* packet, const uint8_t** section, const uint8_t** end) {
    const uint8_t* packetEnd = packet + kPacketSize;
    if (!(packet[1] & 0x40)) return false;  // no payload unit starts here
    const uint8_t control = (packet[3] >> 4) & 3;
    if (!(control & 1)) return false;  // no payload
    const uint8_t* payload = packet + 4;
    if (control & 2) payload += 1 + packet[4];
    if (payload >= packetEnd) return false;
    const uint8_t* start = payload + 1 + *payload;  // after the pointer field
    if (start + 3 > packetEnd) return false;
    const uint8_t* sectionEnd = start + 3 + Twelve(start + 1);
    if (sectionEnd > packetEnd || sectionEnd < start + 12 + 4) return false;
    *section = start;
    *end = sectionEnd - 4;  // before the CRC
    return true;
}

// Appends the sample entry types under the boxes in [data, data + size).
void CollectSampleEntries(const uint8_t* data, size_t size, std::string* codecs) {
    for (size_t at = 0; at < size;) {
        BoxHeader box;
        if (!ReadBoxHeader(data + at, size - at, size - at, &box)) return;
        const uint8_t* content = data + at + box.headerSize;
        const size_t contentSize = static_cast<size_t>(box.size) - box.headerSize;
        if (box.type == BoxType("stsd")) {
            BoxHeader entry;  // after version, flags and the entry count
            if (contentSize > 8 &&
                ReadBoxHeader(content + 8, contentSize - 8, contentSize - 8, &entry)) {
                if (!codecs->empty()) *codecs += ' ';
                codecs->append(reinterpret_cast<const char*>(content + 8 + 4), 4);
            }
        } else if (box.type == BoxType("moov") || box.type == BoxType("trak") ||
                   box.type == BoxType("mdia") || box.type == BoxType("minf") ||
                   box.type == BoxType("stbl")) {
            CollectSampleEntries(content, contentSize, codecs);
        }
        at += static_cast<size_t>(box.size);
    }
}

}  // namespace

std::string TransportStreamCodecs(const uint8_t* data, size_t size) {
    int mapPid = -1;
    for (size_t at = 0; at + kPacketSize <= size && data[at] == kSyncByte; at += kPacketSize) {
        const uint8_t* packet = data + at;
        const uint16_t pid = Pid(packet + 1);
        const uint8_t *section, *end;
        if ((pid != 0 && pid != mapPid) || !SectionOf(packet, &section, &end)) continue;
        if (pid == 0) {  // the program association: the first program's map
            for (const uint8_t* program = section + 8; program + 4 <= end; program += 4) {
                if (program[0] || program[1]) {
                    mapPid = Pid(program + 2);
                    break;
                }
            }
            continue;
        }
        if (section[0] != kProgramMapTable) continue;
        std::string codecs;
        for (const uint8_t* stream = section + 12 + Twelve(section + 10); stream + 5 <= end;
             stream += 5 + Twelve(stream + 3)) {
            char type[4];
            std::snprintf(type, sizeof type, "%02x", stream[0]);
            codecs += (codecs.empty() ? "" : " ") + std::string(type);
        }
        return codecs;
    }
    return {};
}

std::string MovieCodecs(const uint8_t* data, size_t size) {
    std::string codecs;
    CollectSampleEntries(data, size, &codecs);
    return codecs;
}

std::string FileCodecs(const std::string& path) {
    const runtime::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ,
                                                   nullptr, OPEN_EXISTING, 0, nullptr));
    std::vector<uint8_t> head(kReadBytes);
    DWORD read = 0;
    if (!file || !::ReadFile(file.get(), head.data(), kReadBytes, &read, nullptr) || read == 0)
        return {};
    return head[0] == kSyncByte ? TransportStreamCodecs(head.data(), read)
                                : MovieCodecs(head.data(), read);
}

}  // namespace app
