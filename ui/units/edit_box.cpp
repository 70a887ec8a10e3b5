// EditBox (type code 0x00010005): the system EDIT control, with an optional
// msctls_updown32 spin control as its sibling. Raises event 0 (content
// changed), -7 (focus gained) and -8 (focus lost).
#include "ui/units/edit_box.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "runtime/libraries.h"
#include "ui/byte_reader.h"
#include "ui/event_dispatch.h"
#include "ui/gdi.h"
#include "ui/unit_scaffold.h"
#include "ui/unit_support.h"
#include "ui/units/edit_input_modes.h"

namespace ui {

namespace {

constexpr uint32_t kSpinIdOffset = 4;
// The single-line height rule measures this character.
constexpr char kMeasuredText[] = "吴";

// Type-specific property indices (property number - 8).
enum Index : int32_t {
    kContent,
    kBorder,
    kTextColour,
    kBackgroundColour,
    kFont,
    kHideSelection,
    kMaxLength,
    kMultiLine,
    kScrollBars,
    kAlignment,
    kInputMode,
    kPasswordChar,
    kCaseConversion,
    kSpinMode,
    kSpinMinimum,
    kSpinMaximum,
    kSelectionStart,
    kSelectionLength,
    kSelectedText,
    kKeptText1,
    kKeptText2,
};

constexpr int32_t kLastScrollBars = 3;
constexpr int32_t kLastAlignment = 2;
constexpr int32_t kLastInputMode = input_mode::kLast;
constexpr int32_t kLastCaseConversion = 2;
constexpr int32_t kLastSpinMode = 2;

constexpr uint32_t kReadOnlyInput = input_mode::kReadOnly;
constexpr uint32_t kPasswordInput = input_mode::kPassword;

const PropertyDescriptor kProperties[] = {
    VELMORA_COMMON_UNIT_PROPERTIES,
    Property(data_type::kText),              // Content
    Property(data_type::kChoice),            // border
    Property(data_type::kTextColour),        // text colour
    Property(data_type::kBackgroundColour),  // background colour
    Property(data_type::kFont),              // font
    Property(data_type::kLogical),           // hide selection
    Property(data_type::kInteger),           // maximum length
    Property(data_type::kLogical),           // multi-line
    Property(data_type::kChoice),            // scroll bars
    Property(data_type::kChoice),            // alignment
    Property(data_type::kChoice),            // input mode
    Property(data_type::kText),              // password character
    Property(data_type::kChoice),            // case conversion
    Property(data_type::kChoice),            // spin mode
    Property(data_type::kInteger),           // spin minimum
    Property(data_type::kInteger),           // spin maximum
    Property(data_type::kInteger),           // selection start
    Property(data_type::kInteger),           // selection length
    Property(data_type::kText),              // selected text
    Property(data_type::kText),              // further text 1
    Property(data_type::kText),              // further text 2
};
static_assert(sizeof kProperties / sizeof kProperties[0] == 29, "an EditBox has 29 properties");

uint16_t FirstCharacter(const char* text) {
    const auto lead = static_cast<uint8_t>(text[0]);
    if (lead && ::IsDBCSLeadByte(lead) && text[1]) {
        return static_cast<uint16_t>(lead << 8 | static_cast<uint8_t>(text[1]));
    }
    return lead;
}

std::string CharacterText(uint16_t character) {
    if (character > 0xFF) {
        return {static_cast<char>(character >> 8), static_cast<char>(character & 0xFF)};
    }
    return character ? std::string(1, static_cast<char>(character)) : std::string();
}

class EditBox final : public Unit {
  public:
    using Block = EditBoxBlock;

    // Routine 9: the content and the font's face name.
    static void VisitTexts(EditBoxBlock* block, const TextVisit& visit) {
        visit(&block->content);
        VisitFontFace(&block->font, visit);
    }

    // Routine 8: a multi-line box that may be typed into keeps the Enter key.
    static void* OwnRoutine(int32_t number);

    EditBox(uint32_t windowId, uint32_t unitId, EditBoxBlock properties)
        : Unit(windowId, unitId), p_(std::move(properties)) {}

    ~EditBox() override {
        // The teardown's focus and change notifications must not become events.
        closing_ = true;
        if (spin_ && ::IsWindow(spin_)) ::DestroyWindow(spin_);
        if (edit_) ::DestroyWindow(edit_);
    }

    HWND hwnd() const override { return edit_; }

    bool Create(const CreateContext& context);
    LRESULT OnReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void Set(int32_t index, const PropertyValue& value, int32_t* recreate);
    bool Get(int32_t index, PropertyValue* value);
    std::vector<uint8_t> WriteBlock();
    bool WantsEnter() const { return p_.multiLine && p_.inputMode != kReadOnlyInput; }

  private:
    void PasteFiltered();
    void Reformat();
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    void ApplyFont();
    void ApplyBorder();
    void ApplySpinRange();
    void CreateSpin(HWND parent, uint32_t controlId);
    void PlaceSpin();
    void Raise(int32_t event) { RaiseEvent(windowId(), unitId(), event); }

    std::string Content() const;
    std::wstring WideText() const;
    std::pair<int32_t, int32_t> Selection() const;
    void SetSelection(int32_t start, int32_t length);

    EditBoxBlock p_;
    HWND edit_ = nullptr;  // null once the control is destroyed
    HWND spin_ = nullptr;
    WNDPROC editProc_ = nullptr;
    UniqueFont font_;  // null while the default GUI font is used
    UniqueBrush background_;
    bool settingContent_ = false;
    bool closing_ = false;
    std::string scratch_;  // texts handed out by Get
};

bool EditBox::Create(const CreateContext& context) {
    DWORD editStyle = context.style | WS_CHILD;
    if (!p_.hideSelection) editStyle |= ES_NOHIDESEL;
    if (p_.multiLine) {
        editStyle |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
        if (p_.scrollBars & 1) editStyle |= ES_AUTOHSCROLL | WS_HSCROLL;
        if (p_.scrollBars & 2) editStyle |= WS_VSCROLL;
    } else {
        editStyle |= ES_AUTOHSCROLL;
    }
    if (p_.alignment == 1) editStyle |= ES_CENTER;
    if (p_.alignment == 2) editStyle |= ES_RIGHT;
    if (p_.inputMode == kReadOnlyInput) editStyle |= ES_READONLY;
    if (p_.inputMode == kPasswordInput) editStyle |= ES_PASSWORD;
    if (p_.caseConversion == 1) editStyle |= ES_LOWERCASE;
    if (p_.caseConversion == 2) editStyle |= ES_UPPERCASE;

    background_.Reset(::CreateSolidBrush(ResolveColour(p_.background)));
    edit_ = context.CreateChild(0, "EDIT", p_.content.c_str(), editStyle | WS_CLIPSIBLINGS);
    if (!edit_) return false;
    AttachUnit(edit_, this);
    editProc_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditBox::SubclassProc)));

    ApplyFont();
    ::SendMessageA(edit_, EM_LIMITTEXT, static_cast<WPARAM>(p_.maxLength), 0);
    if (p_.inputMode == kPasswordInput) {
        ::SendMessageA(edit_, EM_SETPASSWORDCHAR, p_.passwordChar, 0);
    }
    if (!p_.multiLine && p_.spinMode != 0) CreateSpin(context.parent, context.controlId);
    SetSelection(p_.selectionStart, p_.selectionLength);
    ApplyBorder();
    return true;
}

void EditBox::CreateSpin(HWND parent, uint32_t controlId) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_UPDOWN_CLASS};
    ::InitCommonControlsEx(&classes);
    // Mode 1 lets the spin control write its position into the box itself.
    DWORD spinStyle = WS_CHILD | WS_CLIPSIBLINGS | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    if (p_.spinMode == 1) spinStyle |= UDS_SETBUDDYINT;
    const DWORD boxStyle = static_cast<DWORD>(::GetWindowLongA(edit_, GWL_STYLE));
    spinStyle |= boxStyle & (WS_VISIBLE | WS_DISABLED);
    spin_ =
        ::CreateWindowExA(0, UPDOWN_CLASSA, nullptr, spinStyle, 0, 0, 0, 0, parent,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId + kSpinIdOffset)),
                          ::GetModuleHandleA(nullptr), nullptr);
    if (!spin_) {
        p_.spinMode = 0;
        return;
    }
    ApplySpinRange();
    if (p_.spinMode == 1) ::SendMessageA(spin_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit_), 0);
    PlaceSpin();
}

void EditBox::ApplySpinRange() {
    if (!spin_) return;
    ::SendMessageA(spin_, UDM_SETRANGE32, std::min(p_.spinMinimum, p_.spinMaximum),
                   std::max(p_.spinMinimum, p_.spinMaximum));
}

void EditBox::PlaceSpin() {
    if (!spin_ || !edit_) return;
    RECT box;
    ::GetWindowRect(edit_, &box);
    ::MapWindowPoints(nullptr, ::GetParent(edit_), reinterpret_cast<POINT*>(&box), 2);
    ::SetWindowPos(spin_, nullptr, box.right, box.top, ::GetSystemMetrics(SM_CXVSCROLL),
                   box.bottom - box.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void EditBox::ApplyFont() {
    UniqueFont font = CreateRecordFont(p_.font);
    const HFONT used = FontInUse(font).get();
    if (!p_.multiLine) {
        SIZE text{};
        {
            const UniqueWindowDC dc = DCOfWindow(edit_);
            ScopedSelect select(dc.get().dc, used);
            ::GetTextExtentPoint32A(dc.get().dc, kMeasuredText, sizeof kMeasuredText - 1, &text);
        }
        const int wanted = text.cy + 2 * ::GetSystemMetrics(SM_CYEDGE);
        RECT box;
        ::GetWindowRect(edit_, &box);
        if (box.bottom - box.top < wanted) {
            ::SetWindowPos(edit_, nullptr, 0, 0, box.right - box.left, wanted,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    ::SendMessageA(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(used), TRUE);
    // The old font goes only after the control has let go of it.
    font_ = std::move(font);
}

void EditBox::ApplyBorder() {
    ApplyBoxBorder(edit_, p_.border);
    if (!spin_) return;
    const bool staticEdge = p_.border == 0 || p_.border == 1 || p_.border == 3;
    const DWORD spinExStyle = static_cast<DWORD>(::GetWindowLongA(spin_, GWL_EXSTYLE));
    ::SetWindowLongA(spin_, GWL_EXSTYLE,
                     static_cast<LONG>(staticEdge ? spinExStyle | WS_EX_STATICEDGE
                                                  : spinExStyle & ~WS_EX_STATICEDGE));
    ::SetWindowPos(spin_, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::string EditBox::Content() const {
    std::string text(static_cast<size_t>(::GetWindowTextLengthA(edit_)) + 1, '\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextA(edit_, &text[0], static_cast<int>(text.size()))));
    return text;
}

// Wine's EDIT control counts selection positions in UTF-16 units, also in an
// ANSI window, so selections are measured against the wide text.
std::wstring EditBox::WideText() const {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(edit_)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(edit_, &text[0], static_cast<int>(text.size()))));
    return text;
}

std::pair<int32_t, int32_t> EditBox::Selection() const {
    DWORD start = 0, end = 0;
    ::SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    return {static_cast<int32_t>(start), static_cast<int32_t>(end - start)};
}

// Length -1 selects the whole text; start -1 puts the caret at the end;
// other negative values count as 0.
void EditBox::SetSelection(int32_t start, int32_t length) {
    const auto textLength = static_cast<int32_t>(WideText().size());
    if (length == -1) {
        start = 0;
        length = textLength;
    } else if (start == -1) {
        start = textLength;
        length = 0;
    }
    start = std::max(start, 0);
    const int64_t end = std::min<int64_t>(int64_t{start} + std::max(length, 0), INT32_MAX);
    ::SendMessageA(edit_, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    ::SendMessageA(edit_, EM_SCROLLCARET, 0, 0);
}

// What a person pastes into a box of a restricting input mode: the clipboard's
// text without the characters the mode refuses.
void EditBox::PasteFiltered() {
    const std::string text = FilterText(p_.inputMode, ClipboardText(edit_));
    ::SendMessageA(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Puts the text of a reformatting input mode in its regular form, keeping the
// caret where it was as far as the new text reaches.
void EditBox::Reformat() {
    const std::string text = Content();
    const std::string formatted = ReformatText(p_.inputMode, text);
    if (formatted == text) return;
    const int32_t caret = Selection().first;
    ::SetWindowTextA(edit_, formatted.c_str());
    const auto end = static_cast<int32_t>(WideText().size());
    const WPARAM at = static_cast<WPARAM>(caret < end ? caret : end);
    ::SendMessageA(edit_, EM_SETSEL, at, static_cast<LPARAM>(at));
}

LRESULT CALLBACK EditBox::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* box = static_cast<EditBox*>(UnitOfWindow(window));
    const bool restricting = box->p_.inputMode >= input_mode::kByte;
    if (restricting && message == WM_CHAR &&
        !AcceptsCharacter(box->p_.inputMode, static_cast<unsigned char>(wParam))) {
        return 0;
    }
    if (restricting && message == WM_PASTE) {
        box->PasteFiltered();
        return 0;
    }
    const LRESULT result = ::CallWindowProcA(box->editProc_, window, message, wParam, lParam);
    switch (message) {
        case WM_SHOWWINDOW:
            // lParam names the cause when only the parent is shown or hidden.
            if (box->spin_ && lParam == 0) ::ShowWindow(box->spin_, wParam ? SW_SHOWNA : SW_HIDE);
            break;
        case WM_WINDOWPOSCHANGED: {
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) {
                box->PlaceSpin();
            }
            if (box->spin_ && (pos->flags & SWP_SHOWWINDOW)) ::ShowWindow(box->spin_, SW_SHOWNA);
            if (box->spin_ && (pos->flags & SWP_HIDEWINDOW)) ::ShowWindow(box->spin_, SW_HIDE);
            break;
        }
        case WM_ENABLE:
            if (box->spin_) ::EnableWindow(box->spin_, static_cast<BOOL>(wParam));
            break;
        case WM_NCDESTROY:
            box->edit_ = nullptr;
            // A control that goes on its own (its parent went first) takes the
            // unit along; the runtime is told so that the engine lets go.
            if (!box->closing_) {
                runtime::LibraryCallback(runtime::library_callback::kUnitGone, box->windowId(),
                                         box->unitId());
                delete box;
            }
            break;
        default:
            break;
    }
    return result;
}

LRESULT EditBox::OnReflected(UINT message, WPARAM wParam, LPARAM /*lParam*/, bool* handled) {
    *handled = false;
    if (closing_) return 0;
    switch (message) {
        case WM_COMMAND:
            switch (HIWORD(wParam)) {
                case EN_CHANGE:
                    if (!settingContent_) Raise(0);
                    break;
                case EN_SETFOCUS:
                    Raise(common_event::kFocusGained);
                    break;
                case EN_KILLFOCUS:
                    Reformat();
                    Raise(common_event::kFocusLost);
                    break;
                default:
                    return 0;
            }
            *handled = true;
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC: {
            // Read-only and disabled boxes ask with WM_CTLCOLORSTATIC.
            const auto dc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(dc, ResolveColour(p_.textColour));
            ::SetBkColor(dc, ResolveColour(p_.background));
            *handled = true;
            return reinterpret_cast<LRESULT>(background_.get());
        }
        default:
            return 0;
    }
}

void EditBox::Set(int32_t index, const PropertyValue& value, int32_t* recreate) {
    *recreate = 0;
    const auto number = static_cast<int32_t>(value.low);
    // Options the control takes only at creation: a change rebuilds the unit.
    const auto rebuildOn = [recreate](uint32_t* option, uint32_t newValue) {
        if (*option != newValue) *recreate = 1;
        *option = newValue;
    };
    switch (index) {
        case kContent:
            settingContent_ = true;
            ::SetWindowTextA(edit_, TextOf(value));
            settingContent_ = false;
            // One change event for the whole assignment.
            ::SendMessageA(::GetParent(edit_), WM_COMMAND,
                           MAKEWPARAM(::GetDlgCtrlID(edit_), EN_CHANGE),
                           reinterpret_cast<LPARAM>(edit_));
            break;
        case kBorder:
            p_.border = ClampChoice(number, kLastBorderChoice);
            ApplyBorder();
            break;
        case kTextColour:
            p_.textColour = value.low;
            ::InvalidateRect(edit_, nullptr, TRUE);
            break;
        case kBackgroundColour:
            p_.background = value.low;
            background_.Reset(::CreateSolidBrush(ResolveColour(p_.background)));
            ::RedrawWindow(edit_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
            break;
        case kFont:
            p_.font = FontRecordOf(value);
            ApplyFont();
            break;
        case kHideSelection:
            rebuildOn(&p_.hideSelection, value.low != 0);
            break;
        case kMaxLength:
            p_.maxLength = std::max(number, 0);
            ::SendMessageA(edit_, EM_LIMITTEXT, static_cast<WPARAM>(p_.maxLength), 0);
            break;
        case kMultiLine:
            rebuildOn(&p_.multiLine, value.low != 0);
            break;
        case kScrollBars:
            rebuildOn(&p_.scrollBars, ClampChoice(number, kLastScrollBars));
            break;
        case kAlignment:
            rebuildOn(&p_.alignment, ClampChoice(number, kLastAlignment));
            break;
        case kInputMode:
            p_.inputMode = ClampChoice(number, kLastInputMode);
            ::SendMessageA(edit_, EM_SETPASSWORDCHAR,
                           p_.inputMode == kPasswordInput ? p_.passwordChar : 0, 0);
            ::SendMessageA(edit_, EM_SETREADONLY, p_.inputMode == kReadOnlyInput, 0);
            ::InvalidateRect(edit_, nullptr, TRUE);
            break;
        case kPasswordChar:
            p_.passwordChar = FirstCharacter(TextOf(value));
            if (p_.inputMode == kPasswordInput) {
                ::SendMessageA(edit_, EM_SETPASSWORDCHAR, p_.passwordChar, 0);
                ::InvalidateRect(edit_, nullptr, TRUE);
            }
            break;
        case kCaseConversion:
            rebuildOn(&p_.caseConversion, ClampChoice(number, kLastCaseConversion));
            break;
        case kSpinMode:
            rebuildOn(&p_.spinMode, ClampChoice(number, kLastSpinMode));
            break;
        case kSpinMinimum:
            p_.spinMinimum = number;
            ApplySpinRange();
            break;
        case kSpinMaximum:
            p_.spinMaximum = number;
            ApplySpinRange();
            break;
        case kSelectionStart:
            SetSelection(number, number == -1 ? 0 : Selection().second);
            break;
        case kSelectionLength:
            SetSelection(number == -1 ? 0 : Selection().first, number);
            break;
        case kSelectedText:
            ::SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(TextOf(value)));
            break;
        case kKeptText1:
            p_.keptText1 = TextOf(value);
            break;
        case kKeptText2:
            p_.keptText2 = TextOf(value);
            break;
        default:
            break;
    }
}

bool EditBox::Get(int32_t index, PropertyValue* value) {
    const auto handOut = [this, value](std::string text) {
        scratch_ = std::move(text);
        value->low = reinterpret_cast<uint32_t>(scratch_.c_str());
    };
    switch (index) {
        case kContent:
            handOut(Content());
            return true;
        case kBorder:
            value->low = p_.border;
            return true;
        case kTextColour:
            value->low = p_.textColour;
            return true;
        case kBackgroundColour:
            value->low = p_.background;
            return true;
        case kFont:
            value->low = p_.font.empty() ? 0 : reinterpret_cast<uint32_t>(p_.font.data());
            return true;
        case kHideSelection:
            value->low = p_.hideSelection;
            return true;
        case kMaxLength:
            value->low = static_cast<uint32_t>(p_.maxLength);
            return true;
        case kMultiLine:
            value->low = p_.multiLine;
            return true;
        case kScrollBars:
            value->low = p_.scrollBars;
            return true;
        case kAlignment:
            value->low = p_.alignment;
            return true;
        case kInputMode:
            value->low = p_.inputMode;
            return true;
        case kPasswordChar:
            handOut(CharacterText(p_.passwordChar));
            return true;
        case kCaseConversion:
            value->low = p_.caseConversion;
            return true;
        case kSpinMode:
            value->low = p_.spinMode;
            return true;
        case kSpinMinimum:
            value->low = static_cast<uint32_t>(p_.spinMinimum);
            return true;
        case kSpinMaximum:
            value->low = static_cast<uint32_t>(p_.spinMaximum);
            return true;
        case kSelectionStart:
            value->low = static_cast<uint32_t>(Selection().first);
            return true;
        case kSelectionLength:
            value->low = static_cast<uint32_t>(Selection().second);
            return true;
        case kSelectedText: {
            const auto [start, length] = Selection();
            const std::wstring all = WideText();
            const std::wstring wide = all.substr(std::min(static_cast<size_t>(start), all.size()),
                                                 static_cast<size_t>(length));
            std::string selected(wide.size() * 2, '\0');
            selected.resize(static_cast<size_t>(::WideCharToMultiByte(
                CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &selected[0],
                static_cast<int>(selected.size()), nullptr, nullptr)));
            handOut(std::move(selected));
            return true;
        }
        case kKeptText1:
            value->low = reinterpret_cast<uint32_t>(p_.keptText1.c_str());
            return true;
        case kKeptText2:
            value->low = reinterpret_cast<uint32_t>(p_.keptText2.c_str());
            return true;
        default:
            return false;
    }
}

std::vector<uint8_t> EditBox::WriteBlock() {
    EditBoxBlock block = p_;
    std::tie(block.selectionStart, block.selectionLength) = Selection();
    block.content = Content();
    return block.Write();
}

bool EditBoxWantsEnter(Unit* unit) { return static_cast<EditBox*>(unit)->WantsEnter(); }

void* EditBox::OwnRoutine(int32_t number) {
    return number == routine::kKeyFilter ? AsRoutine<KeyFilterRoutine>(&EditBoxWantsEnter)
                                         : nullptr;
}

}  // namespace

const UnitTypeDescriptor kEditBoxType = {
    "编辑框",
    "EditBox",
    unit_flags::kRaisesEventsToo | unit_flags::Kept(0x80000000),
    sizeof kProperties / sizeof kProperties[0],
    kProperties,
    &UnitType<EditBox>::Interface};

VELMORA_TYPE_BLOCK_CODE(EditBoxBlock, EDIT_BOX_BLOCK)

}  // namespace ui
