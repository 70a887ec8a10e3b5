// TransLabel (type code 0x00020005): a label whose window paints no
// background, so the form and the siblings beneath show between the letters.
// Raises no events of its own.
#include "ui/units/trans_label.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ui/byte_reader.h"
#include "ui/gdi.h"
#include "ui/unit_scaffold.h"
#include "ui/unit_support.h"

namespace ui {

namespace {

constexpr char kClassName[] = "_ZV_TransLabel";

// Type-specific property indices (property number - 8).
enum Index : int32_t {
    kText,
    kTextEffect,
    kFont,
    kTextColour,
    kHorizontalAlign,
    kWordWrap,
    kVerticalAlign,
};

enum TextEffect : uint32_t { kNoEffect, kRaised, kSunken, kShadow };
constexpr int32_t kLastEffect = kShadow;
constexpr int32_t kLastAlign = 2;

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

const PropertyDescriptor kProperties[] = {
    VELMORA_COMMON_UNIT_PROPERTIES,
    Property(data_type::kText),        // Text
    Property(data_type::kChoice),      // TextEffect
    Property(data_type::kFont),        // Font
    Property(data_type::kTextColour),  // TextColour
    Property(data_type::kChoice),      // HorizontalAlign
    Property(data_type::kLogical),     // WordWrap
    Property(data_type::kChoice),      // VerticalAlign
};
static_assert(sizeof kProperties / sizeof kProperties[0] == 15, "a TransLabel has 15 properties");

UINT DrawFormat(const TransLabelBlock& p) {
    UINT format = DT_NOCLIP;
    format |= p.horizontalAlign == 1 ? DT_CENTER : (p.horizontalAlign == 2 ? DT_RIGHT : DT_LEFT);
    if (p.wordWrap == 1) return format | DT_WORDBREAK | DT_VCENTER;
    format |= DT_SINGLELINE;
    format |= p.verticalAlign == 1 ? DT_VCENTER : (p.verticalAlign == 2 ? DT_BOTTOM : DT_TOP);
    return format;
}

// Visible descendants in Z order, each window's own descendants before it.
void CollectVisibleDescendants(HWND window, std::vector<HWND>* found) {
    for (HWND child = ::GetWindow(window, GW_CHILD); child;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) continue;
        CollectVisibleDescendants(child, found);
        found->push_back(child);
    }
}

class TransLabel final : public Unit {
  public:
    using Block = TransLabelBlock;

    // Routine 9: the caption and the font's face name.
    static void VisitTexts(TransLabelBlock* block, const TextVisit& visit) {
        visit(&block->text);
        VisitFontFace(&block->font, visit);
    }

    TransLabel(uint32_t windowId, uint32_t unitId, TransLabelBlock properties)
        : Unit(windowId, unitId), p_(std::move(properties)) {}

    ~TransLabel() override {
        if (window_) ::DestroyWindow(window_);
    }

    HWND hwnd() const override { return window_; }

    bool Create(const CreateContext& context);
    void Set(int32_t index, const PropertyValue& value, int32_t* recreate);
    bool Get(int32_t index, PropertyValue* value) const;
    std::vector<uint8_t> WriteBlock() const;

  private:
    friend struct DrawnUnit<TransLabel>;
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const;
    void Paint(HDC dc) const;
    void Refresh() const;

    TransLabelBlock p_;
    HWND window_ = nullptr;  // null once the window is gone
};

bool TransLabel::Create(const CreateContext& context) {
    if (!RegisterUnitClass(kClassName, &DrawnUnit<TransLabel>::Procedure,
                           static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)))) {
        return false;
    }
    // WM_NCCREATE attaches the label, so window_ is set from then on.
    context.CreateChild(WS_EX_TRANSPARENT, kClassName, p_.text.c_str(),
                        context.style | WS_CHILD | WS_CLIPSIBLINGS, this);
    return window_ != nullptr;
}

// Moving over a parent's background shows another part of it.
LRESULT TransLabel::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) const {
    const LRESULT result = ::DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_MOVE) Refresh();
    return result;
}

// Draws the title text only: nothing is erased or filled.
void TransLabel::Paint(HDC dc) const {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(window_)) + 1, '\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextA(window_, &text[0], static_cast<int>(text.size()))));
    if (text.empty()) return;

    RECT rect;
    ::GetClientRect(window_, &rect);
    const UniqueFont font = CreateRecordFont(p_.font);
    ScopedSelect selectFont(dc, FontInUse(font).get());
    const UINT format = DrawFormat(p_);
    const auto draw = [&](const RECT& where) {
        RECT area = where;
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
    };
    ::SetBkMode(dc, TRANSPARENT);
    switch (p_.textEffect) {
        case kRaised: {
            ::SetTextColor(dc, kWhite);
            RECT under = rect;
            ::OffsetRect(&under, 1, 1);
            draw(under);
            break;
        }
        case kSunken:
            ::SetTextColor(dc, kWhite);
            draw(rect);
            ::OffsetRect(&rect, 1, 1);
            break;
        case kShadow: {
            ::SetTextColor(dc, kBlack);
            RECT shadow = rect;
            ::OffsetRect(&shadow, 2, 2);
            draw(shadow);
            break;
        }
        default:
            break;
    }
    ::SetTextColor(dc, ResolveColour(p_.textColour));
    draw(rect);
}

// Renews what lies beneath the label (the top window's background and every
// visible window overlapping it), then lets the label draw over it.
void TransLabel::Refresh() const {
    if (!window_) return;
    HWND top = window_;
    for (HWND parent = nullptr;
         !(::GetWindowLongA(top, GWL_STYLE) & WS_POPUP) && (parent = ::GetParent(top));) {
        top = parent;
    }
    RECT label;
    ::GetClientRect(window_, &label);
    ::MapWindowPoints(window_, nullptr, reinterpret_cast<POINT*>(&label), 2);
    RECT area = label;
    ::MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&area), 2);
    ::InvalidateRect(top, &area, TRUE);
    ::UpdateWindow(top);

    std::vector<HWND> windows;
    CollectVisibleDescendants(top, &windows);
    for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
        RECT bounds, overlap;
        ::GetWindowRect(*window, &bounds);
        if (!::IntersectRect(&overlap, &bounds, &label)) continue;
        ::MapWindowPoints(nullptr, *window, reinterpret_cast<POINT*>(&overlap), 2);
        ::RedrawWindow(*window, &overlap, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ERASENOW | RDW_FRAME);
    }
    ::InvalidateRect(window_, nullptr, FALSE);
}

void TransLabel::Set(int32_t index, const PropertyValue& value, int32_t* recreate) {
    *recreate = 0;
    const auto number = static_cast<int32_t>(value.low);
    switch (index) {
        case kText:
            p_.text = TextOf(value);
            ::SetWindowTextA(window_, p_.text.c_str());
            break;
        case kTextEffect:
            p_.textEffect = ClampChoice(number, kLastEffect);
            break;
        case kFont:
            p_.font = value.low ? std::string(reinterpret_cast<const char*>(value.low), value.high)
                                : std::string();
            break;
        case kTextColour:
            p_.textColour = value.low;
            break;
        case kHorizontalAlign:
            p_.horizontalAlign = ClampChoice(number, kLastAlign);
            break;
        case kWordWrap:
            p_.wordWrap = value.low;
            break;
        case kVerticalAlign:
            p_.verticalAlign = ClampChoice(number, kLastAlign);
            break;
        default:
            break;
    }
    Refresh();
}

bool TransLabel::Get(int32_t index, PropertyValue* value) const {
    switch (index) {
        case kText:
            value->low = reinterpret_cast<uint32_t>(p_.text.c_str());
            return true;
        case kTextEffect:
            value->low = p_.textEffect;
            return true;
        case kFont:
            value->low = p_.font.empty() ? 0 : reinterpret_cast<uint32_t>(p_.font.data());
            value->high = static_cast<uint32_t>(p_.font.size());
            return true;
        case kTextColour:
            value->low = p_.textColour;
            return true;
        case kHorizontalAlign:
            value->low = p_.horizontalAlign;
            return true;
        case kWordWrap:
            value->low = p_.wordWrap;
            return true;
        case kVerticalAlign:
            value->low = p_.verticalAlign;
            return true;
        default:
            return false;
    }
}

std::vector<uint8_t> TransLabel::WriteBlock() const { return p_.Write(); }

}  // namespace

const UnitTypeDescriptor kTransLabelType = {
    "透明标签",
    "TransLabel",
    unit_flags::kRaisesEventsToo | unit_flags::Kept(0x80000000),
    sizeof kProperties / sizeof kProperties[0],
    kProperties,
    &UnitType<TransLabel>::Interface};

VELMORA_TYPE_BLOCK_CODE(TransLabelBlock, TRANS_LABEL_BLOCK)

}  // namespace ui
