// Button (type code 0x0001000B): the system BUTTON control as a push button.
// Raises event 0 when clicked.
#include "ui/units/button.h"

#include <memory>
#include <string>
#include <utility>

#include "ui/byte_reader.h"
#include "ui/event_dispatch.h"
#include "ui/gdi.h"
#include "ui/unit_scaffold.h"
#include "ui/unit_support.h"
#include "ui/units/picture/decoded_image.h"
#include "ui/units/picture/picture_drawing.h"

namespace ui {

namespace {

// Type-specific property indices (property number - 8).
enum Index : int32_t {
    kPicture,
    kType,
    kCaption,
    kHorizontalAlignment,
    kVerticalAlignment,
    kFont,
};

constexpr int32_t kLastType = 1;
constexpr int32_t kLastAlignment = 2;

constexpr DWORD kAlignmentBits = 0x0F00;
constexpr DWORD kHorizontalBits = BS_LEFT | BS_RIGHT | BS_CENTER;
constexpr DWORD kVerticalBits = BS_TOP | BS_BOTTOM | BS_VCENTER;
// Indexed by the alignment choices.
constexpr DWORD kHorizontalStyles[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
constexpr DWORD kVerticalStyles[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};

const PropertyDescriptor kProperties[] = {
    VELMORA_COMMON_UNIT_PROPERTIES,
    Property(data_type::kPicture),  // picture
    Property(data_type::kChoice),   // type
    Property(data_type::kText),     // Caption
    Property(data_type::kChoice),   // horizontal alignment
    Property(data_type::kChoice),   // vertical alignment
    Property(data_type::kFont),     // font
};
static_assert(sizeof kProperties / sizeof kProperties[0] == 14, "a Button has 14 properties");

class Button final : public Unit {
  public:
    using Block = ButtonBlock;

    // Routine 9: the caption and the font's face name.
    static void VisitTexts(ButtonBlock* block, const TextVisit& visit) {
        visit(&block->caption);
        VisitFontFace(&block->font, visit);
    }

    // Routine 10: whether it is the default push button.
    static void* OwnRoutine(int32_t number);

    Button(uint32_t windowId, uint32_t unitId, ButtonBlock properties)
        : Unit(windowId, unitId), p_(std::move(properties)) {}

    ~Button() override {
        closing_ = true;
        if (::IsWindow(button_)) ::DestroyWindow(button_);
    }

    HWND hwnd() const override { return ::IsWindow(button_) ? button_ : nullptr; }

    bool Create(const CreateContext& context);
    LRESULT OnReflected(UINT message, WPARAM wParam, LPARAM lParam, bool* handled) override;
    void Set(int32_t index, const PropertyValue& value, int32_t* recreate);
    bool Get(int32_t index, PropertyValue* value) const;
    std::vector<uint8_t> WriteBlock() const;
    bool IsDefault() const;

  private:
    DWORD DecodePicture();
    void ApplyFont();
    void ApplyAlignment();

    ButtonBlock p_;
    // The picture the control shows; the control only borrows it.
    DecodedImage icon_;    // an icon or cursor picture
    UniqueBitmap bitmap_;  // any other picture
    HWND button_ = nullptr;
    UniqueFont font_;  // null while the default GUI font is used
    bool closing_ = false;
};

DWORD AlignmentStyle(const ButtonBlock& p) {
    return kHorizontalStyles[p.horizontalAlignment] | kVerticalStyles[p.verticalAlignment];
}

// The picture as the PicBox's reader decodes it, over the button face: the
// style bit that shows it, or 0 when there is none or it cannot be decoded
// (the caption shows instead; the bytes stay the button's).
DWORD Button::DecodePicture() {
    if (p_.picture.empty()) return 0;
    DecodedImage image =
        DecodeImage(reinterpret_cast<const uint8_t*>(p_.picture.data()), p_.picture.size(), false);
    if (image.kind == ImageKind::kIcon || image.kind == ImageKind::kCursor) {
        icon_ = std::move(image);
        return BS_ICON;
    }
    bitmap_ = CreatePictureBitmap(image, ::GetSysColor(COLOR_BTNFACE));
    return bitmap_ ? BS_BITMAP : 0;
}

bool Button::Create(const CreateContext& context) {
    DWORD buttonStyle = (context.style & ~kAlignmentBits) | AlignmentStyle(p_);
    if (p_.type == 1) buttonStyle |= BS_DEFPUSHBUTTON;
    buttonStyle |= DecodePicture();
    button_ = context.CreateChild(0, "BUTTON", p_.caption.c_str(),
                                  buttonStyle | WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE);
    if (!button_) return false;
    AttachUnit(button_, this);
    ApplyFont();
    if (icon_.icon) {
        ::SendMessageA(button_, BM_SETIMAGE, IMAGE_ICON,
                       reinterpret_cast<LPARAM>(icon_.icon.get()));
    } else if (bitmap_) {
        ::SendMessageA(button_, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
    }
    return true;
}

void Button::ApplyFont() {
    UniqueFont font = CreateRecordFont(p_.font);
    ::SendMessageA(button_, WM_SETFONT, reinterpret_cast<WPARAM>(FontInUse(font).get()), TRUE);
    // The old font goes only after the control has let go of it.
    font_ = std::move(font);
}

void Button::ApplyAlignment() {
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(button_, GWL_STYLE));
    ::SetWindowLongA(button_, GWL_STYLE,
                     static_cast<LONG>((style & ~kAlignmentBits) | AlignmentStyle(p_)));
    ::InvalidateRect(button_, nullptr, TRUE);
}

LRESULT Button::OnReflected(UINT message, WPARAM wParam, LPARAM /*lParam*/, bool* handled) {
    *handled = false;
    if (closing_ || message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return 0;
    *handled = true;
    RaiseEvent(windowId(), unitId(), 0);
    return 0;
}

void Button::Set(int32_t index, const PropertyValue& value, int32_t* recreate) {
    *recreate = 0;
    const auto number = static_cast<int32_t>(value.low);
    switch (index) {
        case kPicture:
            p_.picture = value.low
                             ? std::string(reinterpret_cast<const char*>(value.low), value.high)
                             : std::string();
            *recreate = 1;
            break;
        case kType: {
            p_.type = ClampChoice(number, kLastType);
            const DWORD style = static_cast<DWORD>(::GetWindowLongA(button_, GWL_STYLE));
            const DWORD kind = p_.type == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
            ::SendMessageA(button_, BM_SETSTYLE, (style & ~BS_TYPEMASK) | kind, TRUE);
            break;
        }
        case kCaption:
            p_.caption = TextOf(value);
            ::SetWindowTextA(button_, p_.caption.c_str());
            break;
        case kHorizontalAlignment:
            p_.horizontalAlignment = ClampChoice(number, kLastAlignment);
            ApplyAlignment();
            break;
        case kVerticalAlignment:
            p_.verticalAlignment = ClampChoice(number, kLastAlignment);
            ApplyAlignment();
            break;
        case kFont:
            p_.font = FontRecordOf(value);
            ApplyFont();
            break;
        default:
            break;
    }
}

bool Button::Get(int32_t index, PropertyValue* value) const {
    switch (index) {
        case kPicture:
            value->low = p_.picture.empty() ? 0 : reinterpret_cast<uint32_t>(p_.picture.data());
            value->high = static_cast<uint32_t>(p_.picture.size());
            return true;
        case kType:
            value->low = p_.type;
            return true;
        case kCaption:
            value->low = reinterpret_cast<uint32_t>(p_.caption.c_str());
            return true;
        case kHorizontalAlignment:
            value->low = p_.horizontalAlignment;
            return true;
        case kVerticalAlignment:
            value->low = p_.verticalAlignment;
            return true;
        case kFont:
            value->low = p_.font.empty() ? 0 : reinterpret_cast<uint32_t>(p_.font.data());
            return true;
        default:
            return false;
    }
}

std::vector<uint8_t> Button::WriteBlock() const { return p_.Write(); }

// The dialog manager moves the default-push-button type between buttons, so
// the live style decides.
bool Button::IsDefault() const {
    if (!::IsWindow(button_)) return p_.type == 1;
    return (::GetWindowLongA(button_, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
}

bool IsDefaultButton(Unit* unit) { return static_cast<Button*>(unit)->IsDefault(); }

void* Button::OwnRoutine(int32_t number) {
    return number == routine::kDefaultButtonTest ? AsRoutine<DefaultButtonRoutine>(&IsDefaultButton)
                                                 : nullptr;
}

}  // namespace

const UnitTypeDescriptor kButtonType = {"按钮",
                                        "Button",
                                        unit_flags::kRaisesEventsToo | unit_flags::Kept(0x80000800),
                                        sizeof kProperties / sizeof kProperties[0],
                                        kProperties,
                                        &UnitType<Button>::Interface};

VELMORA_TYPE_BLOCK_CODE(ButtonBlock, BUTTON_BLOCK)

}  // namespace ui
