#include "app/units.h"

#include "app/window_ids.h"

namespace app {

void SetDisabled(uint32_t unitId, bool disabled) {
    WriteUnitProperty(kMainWindowId, unitId, kDisabledProperty, -1, disabled ? 1 : 0, 0);
}

OwnedText ContentOf(uint32_t editBoxId) {
    return OwnedText(reinterpret_cast<char*>(
        static_cast<uint32_t>(ReadUnitProperty(kMainWindowId, editBoxId, kContentProperty, -1))));
}

void SetContent(uint32_t editBoxId, const char* text) {
    WriteUnitProperty(kMainWindowId, editBoxId, kContentProperty, -1, reinterpret_cast<uint32_t>(text), 0);
}

}  // namespace app
