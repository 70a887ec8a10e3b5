// The engine's state per window: the unit records every load starts from, and
// while the window is loaded, its working copy with the live unit objects.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/template_reader.h"
#include "ui/unit_record.h"
#include "ui/unit_type.h"

namespace ui {

// One unit record with the layout of its fields.
struct UnitRecordCopy {
    uint32_t unitId = 0;
    std::vector<uint8_t> bytes;
    UnitRecordLayout layout{};

    int32_t RectField(int index) const;
    void SetRectField(int index, int32_t value);
    uint32_t StateFlags() const;
    void SetStateFlags(uint32_t flags);
    std::string Tag() const;
    void SetTag(const std::string& tag);
    std::string MousePointer() const;
    void SetMousePointer(const std::string& bytes);
    std::string TypeBlock() const;
    void SetTypeBlock(const std::vector<uint8_t>& block);
    // The handler bound to an event, 0 for none.
    uint32_t HandlerOf(int32_t event) const;
    const char* Name() const;
    uint32_t Parent() const;
    bool IsMenuItem() const { return IdentifierKind(unitId) == kMenuItemKind; }

  private:
    void Splice(size_t offset, size_t oldLength, const std::string& replacement);
};

struct LiveUnit {
    UnitRecordCopy record;
    const UnitTypeDescriptor* type = nullptr;
    std::unique_ptr<Unit> object;
    HCURSOR cursor = nullptr;
    uint32_t controlId = 0;
};

struct WindowState {
    uint32_t windowId = 0;
    std::vector<UnitRecordCopy> records;  // what the next load starts from
    // While loaded:
    bool loading = false;  // its units are being created
    bool loaded = false;   // the load has ended, creation event and all
    bool modal = false;
    HWND hwnd = nullptr;
    std::vector<LiveUnit> units;  // index 0 is the window's own unit
    std::vector<HWND> disabledForModal;

    bool IsOpen() const { return hwnd && ::IsWindow(hwnd); }
    // Units can be reached from the moment all of them exist (the creation
    // event already uses them) until the window closes.
    bool UnitsReachable() const { return !loading && IsOpen(); }
    LiveUnit* FindUnit(uint32_t unitId);
    UnitRecordCopy* FindRecord(uint32_t unitId);  // live copy when open, else the template's
};

// Builds the states from the templates read at start-up.
bool BuildWindowStates(const std::vector<WindowTemplate>& templates);
WindowState* FindWindowState(uint32_t windowId);
// The state whose window is this native window.
WindowState* WindowStateOf(HWND window);

}  // namespace ui
