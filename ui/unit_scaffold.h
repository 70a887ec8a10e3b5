// What every unit type shares: its routines by number, made from a unit class
// that holds only what is particular to it, and the registration of the
// window classes units draw themselves in.
//
// A unit class derives from Unit and declares
//   using Block = ...;                          its type-block record
//   UnitClass(uint32_t windowId, uint32_t unitId, Block block);
//   bool Create(const CreateContext& context);  makes its native window
//   void Set(int32_t index, const PropertyValue& value, int32_t* recreate);
//   bool Get(int32_t index, PropertyValue* value);
//   std::vector<uint8_t> WriteBlock();
// may declare
//   static void VisitTexts(Block* block, const TextVisit& visit);  routine 9
// and may hide Unit::OwnRoutine to add routines of its own (8, 10...).
// UnitType<UnitClass>::Interface is then the type's interface routine.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "ui/gdi.h"
#include "ui/unit_support.h"
#include "ui/unit_type.h"

namespace ui {

template <typename Routine>
void* AsRoutine(Routine routine) {
    return reinterpret_cast<void*>(routine);
}

// Where and how the engine asks for a unit's native window.
struct CreateContext {
    HWND parent;  // for the window unit: its owner, or none
    uint32_t style;
    uint32_t controlId;
    HMENU menu;
    RECT rect;  // in the parent's client coordinates
    bool designMode;

    // A window of this class at the context's place in its parent, with its
    // control identifier; `style` is the whole style the window gets.
    HWND CreateChild(DWORD exStyle, const char* className, const char* text, DWORD style,
                     void* createParam = nullptr) const;
};

template <typename UnitClass, typename = void>
struct VisitsTexts : std::false_type {};
template <typename UnitClass>
struct VisitsTexts<UnitClass, std::void_t<decltype(&UnitClass::VisitTexts)>> : std::true_type {};

template <typename UnitClass>
struct UnitType {
    // Routine 1, with the fourteen words the loader passes.
    static Unit* Create(const uint8_t* block, int32_t blockLength, uint32_t style, HWND parent,
                        uint32_t controlId, HMENU menu, int32_t left, int32_t top, int32_t width,
                        int32_t height, uint32_t windowId, uint32_t unitId, uint32_t /*unused*/,
                        uint32_t designMode) {
        typename UnitClass::Block properties;
        if (!UnitClass::Block::Read(block, blockLength, &properties)) return nullptr;
        auto unit = std::make_unique<UnitClass>(windowId, unitId, std::move(properties));
        const CreateContext context{
            parent,         style, controlId, menu, {left, top, left + width, top + height},
            designMode != 0};
        return unit->Create(context) ? unit.release() : nullptr;
    }
    static void Set(Unit* unit, int32_t index, const PropertyValue& value, int32_t* recreate) {
        *recreate = 0;
        static_cast<UnitClass*>(unit)->Set(index, value, recreate);
    }
    static std::vector<uint8_t> WriteBlock(Unit* unit) {
        return static_cast<UnitClass*>(unit)->WriteBlock();
    }
    static bool Get(Unit* unit, int32_t index, PropertyValue* value) {
        return unit && static_cast<UnitClass*>(unit)->Get(index, value);
    }

    static std::vector<uint8_t> VisitTexts(const uint8_t* block, int32_t blockLength,
                                           TextVisitor visit, void* context) {
        typename UnitClass::Block properties;
        if (!UnitClass::Block::Read(block, blockLength, &properties)) return {};
        UnitClass::VisitTexts(&properties, TextVisit{visit, context});
        return properties.Write();
    }

    // Routines 1, 4, 5 and 6, 9 when the class visits texts, and those the
    // class adds; null for any other.
    static void* Interface(int32_t number) {
        if (void* own = UnitClass::OwnRoutine(number)) return own;
        if constexpr (VisitsTexts<UnitClass>::value) {
            if (number == routine::kVisitTexts) return AsRoutine<VisitTextsRoutine>(&VisitTexts);
        }
        switch (number) {
            case routine::kCreate:
                return AsRoutine<CreateRoutine>(&Create);
            case routine::kSetProperty:
                return AsRoutine<SetPropertyRoutine>(&Set);
            case routine::kWriteTypeBlock:
                return AsRoutine<WriteTypeBlockRoutine>(&WriteBlock);
            case routine::kGetProperty:
                return AsRoutine<GetPropertyRoutine>(&Get);
            default:
                return nullptr;
        }
    }
};

// The window procedure of a unit that draws itself in a window class of the
// program. The unit passes itself as the creation parameter; the procedure
// attaches it on WM_NCCREATE and lets go on WM_NCDESTROY, paints through it
// for WM_PAINT and WM_PRINTCLIENT, and hands every other message to it.
// UnitClass declares `friend struct DrawnUnit<UnitClass>;` and
//   HWND window_;                              null once the window is gone
//   void Paint(HDC dc);
//   LRESULT OnMessage(HWND, UINT, WPARAM, LPARAM);  ends in DefWindowProcA
template <typename UnitClass>
struct DrawnUnit {
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            auto* created =
                static_cast<UnitClass*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            created->window_ = window;
            AttachUnit(window, created);
        }
        auto* unit = static_cast<UnitClass*>(UnitOfWindow(window));
        if (!unit) return ::DefWindowProcA(window, message, wParam, lParam);
        switch (message) {
            case WM_PAINT: {
                ScopedPaint paint(window);
                unit->Paint(paint.get());
                return 0;
            }
            case WM_PRINTCLIENT:
                unit->Paint(reinterpret_cast<HDC>(wParam));
                return 0;
            case WM_NCDESTROY:
                unit->window_ = nullptr;
                AttachUnit(window, nullptr);
                return ::DefWindowProcA(window, message, wParam, lParam);
            default:
                return unit->OnMessage(window, message, wParam, lParam);
        }
    }
};

// Registers a window class of the program unless it is there already: the
// arrow cursor, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, and the given procedure
// and background brush (none for null).
bool RegisterUnitClass(const char* name, WNDPROC procedure, HBRUSH background = nullptr);

}  // namespace ui
