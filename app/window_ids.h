// Identifiers of the application's windows and units, as its templates name them.
#pragma once

#include <cstdint>

#include "runtime/values.h"

namespace app {

constexpr uint32_t kMainWindowId = 0x52010001;
constexpr uint32_t kMainWindowUnit = 0x06010001;
constexpr uint32_t kDonationWindowId = 0x5201817D;
constexpr uint32_t kDonationWindowUnit = 0x0601817C;

constexpr uint32_t kDonateButton = 0x16016246;   // 按钮3
constexpr uint32_t kOutputNameBox = 0x1601623E;  // 编辑框3
constexpr uint32_t kStartButton = 0x16013EDF;    // 按钮2
constexpr uint32_t kLogBox = 0x16013ECA;         // 编辑框2
constexpr uint32_t kDropTarget = 0x16010006;     // 拖放对象1
constexpr uint32_t kParseButton = 0x16010004;    // 按钮1
constexpr uint32_t kAddressBox = 0x16010002;     // 编辑框1

constexpr uint32_t kWindowType = 0x00010001;
constexpr uint32_t kEditBoxType = 0x00010005;
constexpr uint32_t kDropTargetType = 0x00030001;

constexpr int32_t kDisabledProperty = 6;
constexpr int32_t kContentProperty = 8;

// A unit as a command argument: window id, unit id, type code.
constexpr runtime::ArgRecord UnitArg(uint32_t windowId, uint32_t unitId, uint32_t typeCode) {
    return {windowId, unitId, typeCode};
}

}  // namespace app
