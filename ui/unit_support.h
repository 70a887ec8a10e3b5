// Helpers every unit type shares: colours, fonts, type-block writing and
// clamping of choice properties.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ui/gdi.h"
#include "ui/unit_type.h"

namespace ui {

// Units are found from their controls through a window property.
void AttachUnit(HWND control, Unit* unit);
Unit* UnitOfWindow(HWND control);

// Hands a WM_COMMAND or WM_NOTIFY that a control sent its parent back to the
// control's unit; the window unit's procedure calls this for its children.
LRESULT ReflectToUnit(UINT message, WPARAM wParam, LPARAM lParam, bool* handled);

// The clipboard's text in the code page of the program; empty when it holds
// none or another window keeps it open.
std::string ClipboardText(HWND owner);

// 0xFF000000 stands for the system's button-face colour.
constexpr uint32_t kButtonFaceColour = 0xFF000000;
COLORREF ResolveColour(uint32_t colour);

// A font from a 60-byte logical-font record (character set, precisions,
// quality and pitch forced as units create their fonts); null for any other
// length or when creation fails, in which case the default GUI font applies.
UniqueFont CreateRecordFont(const std::string& record);
// The system's GUI font, a stock object: borrowed, never deleted.
BorrowedFont DefaultGuiFont();
// The font a unit draws with: its own when it has one, else the GUI font.
BorrowedFont FontInUse(const UniqueFont& own);

// The six border choices of boxes: 0 none, 1 sunken (client edge), 2 raised
// (modal frame), 3 flat (static edge), 4 sunken and raised, 5 a single line
// (WS_BORDER). Applies the choice to a live window and recomputes its frame.
constexpr int32_t kLastBorderChoice = 5;
void ApplyBoxBorder(HWND window, uint32_t border);

// Values outside a choice's range are clamped into it, never refused.
inline uint32_t ClampChoice(int32_t value, int32_t maximum) {
    return static_cast<uint32_t>(value < 0 ? 0 : (value > maximum ? maximum : value));
}

// A text value as set routines receive it; none is the empty text.
const char* TextOf(const PropertyValue& value);
// A font value as a 60-byte record, or empty when none was given.
std::string FontRecordOf(const PropertyValue& value);

// A text visitor with where it reports to (interface routine 9).
struct TextVisit {
    TextVisitor visit;
    void* context;
    void operator()(std::string* text) const { visit(text, context); }
};
// Hands the face name of a 60-byte font record to the visitor and puts back
// what it leaves, cut to the 31 characters the record holds; a record of any
// other length has no face name.
void VisitFontFace(std::string* fontRecord, const TextVisit& visit);

class ByteWriter {
  public:
    void U32(uint32_t value) { Append(&value, 4); }
    void U16(uint16_t value) { Append(&value, 2); }
    void Counted(const std::string& bytes) {
        U32(static_cast<uint32_t>(bytes.size()));
        Append(bytes.data(), bytes.size());
    }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    void Append(const void* data, size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    std::vector<uint8_t> bytes_;
};

}  // namespace ui
