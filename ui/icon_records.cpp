#include "ui/icon_records.h"

#include <utility>
#include <vector>

#include "ui/icon_file.h"

namespace ui {

namespace {

struct IconRecord {
    std::string iconFile;
    UniqueIcon icon;
};

std::vector<IconRecord> g_records;

}  // namespace

HICON IconRecordFor(const std::string& iconFile) {
    for (const IconRecord& record : g_records) {
        if (record.iconFile == iconFile) return record.icon.get();
    }
    IconFromFile file =
        CreateIconFromFile(reinterpret_cast<const uint8_t*>(iconFile.data()), iconFile.size());
    if (!file.icon) return nullptr;
    g_records.push_back({iconFile, std::move(file.icon)});
    return g_records.back().icon.get();
}

void ReleaseIconRecords() { g_records.clear(); }

}  // namespace ui
