#include "app/units.h"

#include "app/calls.h"
#include "app/window_ids.h"
#include "ui/window_commands.h"

namespace app {

void SetDisabled(uint32_t unitId, bool disabled) {
    WriteUnitProperty(kMainWindowId, unitId, kDisabledProperty, -1, disabled ? 1 : 0, 0);
}

OwnedText ContentOf(uint32_t editBoxId) {
    return OwnedText(reinterpret_cast<char*>(
        static_cast<uint32_t>(ReadUnitProperty(kMainWindowId, editBoxId, kContentProperty, -1))));
}

void SetContent(uint32_t editBoxId, const char* text) {
    WriteUnitProperty(kMainWindowId, editBoxId, kContentProperty, -1,
                      reinterpret_cast<uint32_t>(text), 0);
}

void DiscardInputMeanwhile() {
    const runtime::ArgRecord none[] = {{0, 0, 0}};
    CallCoreCommand(ui::DiscardPendingInput, 0, none);
}

}  // namespace app
