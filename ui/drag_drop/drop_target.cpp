// DropTarget (type code 0x00030001): a small window of its own and an OLE drop
// target for the window RegisterWindow names. Raises 0 TextDropped,
// 1 HtmlDropped, 2 UrlDropped and 3 FilesDropped, each with one text by reference.
#include "ui/drag_drop/drop_target.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "runtime/values.h"
#include "ui/byte_reader.h"
#include "ui/drag_drop/drag_drop_library.h"
#include "ui/drag_drop/drop_target_adapter.h"
#include "ui/drag_drop/drop_target_mark.h"
#include "ui/event_dispatch.h"
#include "ui/gdi.h"
#include "ui/unit_scaffold.h"
#include "ui/unit_support.h"

namespace drag_drop {

namespace {

constexpr char kClassName[] = "_ZV_DropTarget";

// The common eight, then AcceptText, AcceptHtml, AcceptUrl, AcceptFiles.
const ui::PropertyDescriptor kProperties[] = {
    VELMORA_COMMON_UNIT_PROPERTIES,
    ui::Property(ui::data_type::kLogical),  // AcceptText
    ui::Property(ui::data_type::kLogical),  // AcceptHtml
    ui::Property(ui::data_type::kLogical),  // AcceptUrl
    ui::Property(ui::data_type::kLogical),  // AcceptFiles
};
static_assert(sizeof kProperties / sizeof kProperties[0] == 12, "a DropTarget has 12 properties");

// The handler receives the text by reference and may put another text in
// its place, so what is freed afterwards is whatever the variable holds then.
void RaiseTextEvent(uint32_t windowId, uint32_t unitId, int32_t event, const std::string& text) {
    auto* copy = reinterpret_cast<char*>(
        CallRuntime(runtime::library_callback::kAllocate, text.size() + 1, 0));
    if (!copy) return;
    std::memcpy(copy, text.c_str(), text.size() + 1);
    char* variable = copy;
    ui::EventRecord record{};
    record.windowId = windowId;
    record.unitId = unitId;
    record.event = event;
    record.argCount = 1;
    record.args[0] = {reinterpret_cast<uint32_t>(&variable), 0, runtime::tag::kText,
                      ui::passing::kByAddress};
    CallRuntime(runtime::library_callback::kRaiseEvent, reinterpret_cast<uint32_t>(&record), 0);
    CallRuntime(runtime::library_callback::kFree, reinterpret_cast<uint32_t>(variable), 0);
}

// Event numbers are the drop kinds.
template <DropKind kind>
void RaiseDropped(uint32_t windowId, uint32_t unitId, const std::string& text) {
    RaiseTextEvent(windowId, unitId, kind, text);
}

const DropRoutine kEventRoutines[kDropKindCount] = {&RaiseDropped<kText>, &RaiseDropped<kHtml>,
                                                    &RaiseDropped<kUrl>, &RaiseDropped<kFiles>};

class DropTarget final : public ui::Unit {
  public:
    using Block = DropTargetBlock;

    DropTarget(uint32_t windowId, uint32_t unitId, DropTargetBlock block)
        : Unit(windowId, unitId), block_(std::move(block)) {}
    ~DropTarget() override;

    HWND hwnd() const override { return window_; }

    bool Create(const ui::CreateContext& context);
    void Set(int32_t index, const ui::PropertyValue& value, int32_t* recreate);
    bool Get(int32_t index, ui::PropertyValue* value);
    std::vector<uint8_t> WriteBlock() const { return block_.Write(); }
    bool Register(HWND window);

    static bool IsDropTargetWindow(HWND window);

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC target) const;
    void Revoke();

    // Whether the block says it accepts a kind of data.
    uint32_t& Accepts(int kind) {
        uint32_t* const fields[kDropKindCount] = {&block_.acceptText, &block_.acceptHtml,
                                                  &block_.acceptUrl, &block_.acceptFiles};
        return *fields[kind];
    }

    DropTargetBlock block_;
    HWND window_ = nullptr;
    HWND registered_ = nullptr;
    bool registeredWithOle_ = false;
    bool deleting_ = false;
    DropTargetAdapter adapter_;
};

// Deleted by the engine: the window goes too, and its WM_NCDESTROY must not
// delete the unit a second time.
DropTarget::~DropTarget() {
    deleting_ = true;
    if (window_) ::DestroyWindow(window_);
    Revoke();
}

bool DropTarget::Create(const ui::CreateContext& context) {
    if (!ui::RegisterUnitClass(kClassName, &DropTarget::WindowProc,
                               static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)))) {
        return false;
    }
    window_ = context.CreateChild(0, kClassName, "", context.style | WS_CHILD | WS_CLIPSIBLINGS);
    if (!window_) return false;
    ui::AttachUnit(window_, this);
    for (int kind = 0; kind < kDropKindCount; ++kind) {
        adapter_.SetAccepts(static_cast<DropKind>(kind), Accepts(kind) != 0);
    }
    // A unit created in design mode takes no drops.
    if (!context.designMode) adapter_.Connect(windowId(), unitId(), kEventRoutines);
    return true;
}

void DropTarget::Set(int32_t index, const ui::PropertyValue& value, int32_t* /*recreate*/) {
    if (index < 0 || index >= kDropKindCount) return;
    Accepts(index) = value.low;
    adapter_.SetAccepts(static_cast<DropKind>(index), value.low != 0);
}

bool DropTarget::Get(int32_t index, ui::PropertyValue* value) {
    if (index < 0 || index >= kDropKindCount) return false;
    Accepts(index) = adapter_.Accepts(static_cast<DropKind>(index)) ? 1 : 0;
    value->low = Accepts(index);
    return true;
}

// The handle is kept even when OLE refuses it, so the unit stays spent.
bool DropTarget::Register(HWND window) {
    if (registered_) return false;
    registered_ = window;
    adapter_.SetWindow(window);
    registeredWithOle_ = ::RegisterDragDrop(window, &adapter_) == S_OK;
    return registeredWithOle_;
}

// Only a registration of our own is revoked: one OLE refused may belong to
// someone else.
void DropTarget::Revoke() {
    if (!registeredWithOle_) return;
    registeredWithOle_ = false;
    ::RevokeDragDrop(registered_);
}

bool DropTarget::IsDropTargetWindow(HWND window) {
    return window && reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(window, GWLP_WNDPROC)) ==
                         &DropTarget::WindowProc;
}

// A button-face field in a black frame with the mark in the middle, drawn
// off screen and copied at once.
void DropTarget::Paint(HDC target) const {
    RECT client;
    ::GetClientRect(window_, &client);
    const ui::UniqueMemoryDC memory(::CreateCompatibleDC(target));
    ui::UniqueBitmap bitmap(::CreateCompatibleBitmap(target, client.right, client.bottom));
    if (!memory.get() || !bitmap) return;
    ui::ScopedSelect selectBitmap(memory.get(), bitmap.get());
    ui::ScopedSelect pen(memory.get(), ::GetStockObject(BLACK_PEN));
    {
        ui::ScopedSelect brush(memory.get(), ::GetSysColorBrush(COLOR_BTNFACE));
        ::Rectangle(memory.get(), 0, 0, client.right, client.bottom);
    }

    const ui::UniqueBitmap mark = CreateDropMark();
    const ui::UniqueMemoryDC markDc(::CreateCompatibleDC(target));
    if (mark && markDc.get()) {
        ui::ScopedSelect selectMark(markDc.get(), mark.get());
        const bool fits = kDropMarkSize < client.right && kDropMarkSize < client.bottom;
        const int left = fits ? (client.right - kDropMarkSize) / 2 : 0;
        const int top = fits ? (client.bottom - kDropMarkSize) / 2 : 0;
        ::SetTextColor(memory.get(), RGB(0, 0, 0));
        ::SetBkColor(memory.get(), ::GetSysColor(COLOR_BTNFACE));
        ::BitBlt(memory.get(), left, top, kDropMarkSize, kDropMarkSize, markDc.get(), 0, 0,
                 SRCCOPY);
    }

    // The frame again, over a mark larger than the window.
    {
        ui::ScopedSelect hollow(memory.get(), ::GetStockObject(NULL_BRUSH));
        ::Rectangle(memory.get(), 0, 0, client.right, client.bottom);
    }
    ::BitBlt(target, 0, 0, client.right, client.bottom, memory.get(), 0, 0, SRCCOPY);
}

// When the window goes first, the unit tells the runtime, which then lets go
// of it, and deletes itself.
LRESULT CALLBACK DropTarget::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* unit = static_cast<DropTarget*>(ui::UnitOfWindow(window));
    if (unit && message == WM_PAINT) {
        ui::ScopedPaint paint(window);
        unit->Paint(paint.get());
        return 0;
    }
    if (unit && message == WM_PRINTCLIENT) {
        unit->Paint(reinterpret_cast<HDC>(wParam));
        return 0;
    }
    if (unit && message == WM_NCDESTROY) {
        ui::AttachUnit(window, nullptr);
        unit->window_ = nullptr;
        if (!unit->deleting_) {
            CallRuntime(runtime::library_callback::kUnitGone, unit->windowId(), unit->unitId());
            delete unit;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool RegisterDropWindow(ui::Unit* unit, HWND window) {
    if (!DropTarget::IsDropTargetWindow(unit->hwnd())) return false;
    return static_cast<DropTarget*>(unit)->Register(window);
}

// Raises events; has no visible or enabled state of its own, so the engine
// keeps its window hidden.
const ui::UnitTypeDescriptor kDropTargetType = {"拖放对象",
                                                "DropTarget",
                                                ui::unit_flags::kRaisesEventsToo |
                                                    ui::unit_flags::kNoOwnState |
                                                    ui::unit_flags::Kept(0x80000000),
                                                sizeof kProperties / sizeof kProperties[0],
                                                kProperties,
                                                &ui::UnitType<DropTarget>::Interface};

VELMORA_TYPE_BLOCK_CODE(DropTargetBlock, DROP_TARGET_BLOCK)

}  // namespace drag_drop
