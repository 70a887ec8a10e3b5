// PicBox (type code 0x00010006): a child window of class _ZV_PicBox showing
// one picture held as encoded bytes; animated GIFs play on a thread of the
// box's own. Raises no events of its own.
#include "ui/units/pic_box.h"

#include <memory>
#include <string>
#include <utility>

#include "ui/byte_reader.h"
#include "ui/data_source.h"
#include "ui/gdi.h"
#include "ui/unit_scaffold.h"
#include "ui/unit_support.h"
#include "ui/units/picture/decoded_image.h"
#include "ui/units/picture/gif_animator.h"
#include "ui/units/picture/picture_drawing.h"

namespace ui {

namespace {

constexpr char kClassName[] = "_ZV_PicBox";

// Type-specific property indices (property number - 8).
enum Index : int32_t {
    kBorder,
    kBackColour,
    kPicture,
    kDisplayMode,
    kAnimate,
    kDataSource,
    kDataColumn,
};

const PropertyDescriptor kProperties[] = {
    VELMORA_COMMON_UNIT_PROPERTIES,
    Property(data_type::kChoice),            // Border
    Property(data_type::kBackgroundColour),  // BackColour
    Property(data_type::kPicture),           // Picture
    Property(data_type::kChoice),            // DisplayMode
    Property(data_type::kLogical),           // Animate
    Property(data_type::kText),              // DataSource
    Property(data_type::kText),              // DataColumn
};
static_assert(sizeof kProperties / sizeof kProperties[0] == 15, "a PicBox has 15 properties");

class PicBox final : public Unit {
  public:
    using Block = PicBoxBlock;

    // Routine 9: the data source's name and its column.
    static void VisitTexts(PicBoxBlock* block, const TextVisit& visit) {
        visit(&block->dataSource);
        visit(&block->dataColumn);
    }

    PicBox(uint32_t windowId, uint32_t unitId, PicBoxBlock properties)
        : Unit(windowId, unitId), p_(std::move(properties)) {}

    ~PicBox() override {
        // The thread draws into the window and reads the decoded frames.
        animator_.Stop();
        if (window_) ::DestroyWindow(window_);
    }

    HWND hwnd() const override { return window_; }

    bool Create(const CreateContext& context);
    void Set(int32_t index, const PropertyValue& value, int32_t* recreate);
    bool Get(int32_t index, PropertyValue* value) const;
    std::vector<uint8_t> WriteBlock() const;

  private:
    friend struct DrawnUnit<PicBox>;
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(HDC dc);
    void Decode();
    void LoadFromDataSource();
    void ApplyBorder();
    void ApplyBackground();
    // A window already gone has nothing to repaint.
    void Invalidate() const {
        if (window_) ::InvalidateRect(window_, nullptr, TRUE);
    }

    PicBoxBlock p_;
    bool designMode_ = false;
    bool running_ = false;            // animated GIFs play
    bool animationStarting_ = false;  // Animate was just switched on
    HWND window_ = nullptr;           // null once the window is gone
    COLORREF background_ = 0;
    UniqueBrush brush_;
    DecodedImage image_;
    GifAnimator animator_;  // reads image_'s frames while it runs
};

bool PicBox::Create(const CreateContext& context) {
    if (!RegisterUnitClass(kClassName, &DrawnUnit<PicBox>::Procedure,
                           static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)))) {
        return false;
    }
    designMode_ = context.designMode;
    running_ = !designMode_ && p_.animate;
    ApplyBackground();
    // WM_NCCREATE attaches the box, so window_ is set from then on.
    context.CreateChild(0, kClassName, nullptr, context.style | WS_CHILD | WS_CLIPSIBLINGS, this);
    if (!window_) return false;
    Decode();
    ApplyBorder();
    return true;
}

LRESULT PicBox::OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            animator_.Stop();
            break;
        case kUnitsLoadedMessage:
            // The data source may have been created after the box.
            LoadFromDataSource();
            break;
        case kDataChangedMessage: {
            const auto* column = reinterpret_cast<const char*>(lParam);
            if ((!column || p_.dataColumn == column) &&
                IsUnitNamed(windowId(), static_cast<uint32_t>(wParam), p_.dataSource)) {
                LoadFromDataSource();
            }
            break;
        }
        default:
            break;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// With a data source and a column named, the picture is that column's cell
// in the source's current row.
void PicBox::LoadFromDataSource() {
    if (p_.dataSource.empty() || p_.dataColumn.empty()) return;
    std::string picture;
    if (!ReadBoundCell(windowId(), p_.dataSource, p_.dataColumn, &picture)) return;
    p_.picture = std::move(picture);
    Decode();
}

void PicBox::Paint(HDC dc) {
    RECT client;
    ::GetClientRect(window_, &client);
    // The thread shows the first frame itself; keep the fill from wiping it.
    if (animationStarting_ && animator_.running()) {
        const RECT canvas = animator_.CanvasRect(client);
        ::ExcludeClipRect(dc, canvas.left, canvas.top, canvas.right, canvas.bottom);
    }
    animationStarting_ = false;
    {
        ScopedSelect brush(dc, brush_.get());
        ::PatBlt(dc, 0, 0, client.right, client.bottom, PATCOPY);
    }
    if (animator_.running()) {
        animator_.DrawCanvas(dc, client);
        return;
    }
    DrawPicture(dc, image_, p_.displayMode, client, background_);
}

void PicBox::Decode() {
    animator_.Stop();
    image_ = DecodeImage(reinterpret_cast<const uint8_t*>(p_.picture.data()), p_.picture.size(),
                         running_);
    if (image_.animation && running_) {
        animator_.Start(window_, *image_.animation, background_, p_.displayMode);
    }
    Invalidate();
}

void PicBox::ApplyBorder() { ApplyBoxBorder(window_, p_.border); }

void PicBox::ApplyBackground() {
    background_ = ResolveColour(p_.background);
    brush_.Reset(::CreateSolidBrush(background_));
}

void PicBox::Set(int32_t index, const PropertyValue& value, int32_t* recreate) {
    *recreate = 0;
    const auto number = static_cast<int32_t>(value.low);
    switch (index) {
        case kBorder:
            p_.border = ClampChoice(number, kLastBorderChoice);
            ApplyBorder();
            break;
        case kBackColour:
            p_.background = value.low;
            ApplyBackground();
            // A playing canvas was filled with the old colour.
            if (animator_.running()) {
                animator_.Start(window_, *image_.animation, background_, p_.displayMode);
            }
            Invalidate();
            break;
        case kPicture:
            p_.picture = value.low
                             ? std::string(reinterpret_cast<const char*>(value.low), value.high)
                             : std::string();
            Decode();
            break;
        case kDisplayMode: {
            const uint32_t mode = ClampChoice(number, display_mode::kLast);
            if (mode == p_.displayMode) break;
            p_.displayMode = mode;
            animator_.SetDisplayMode(mode);
            Invalidate();
            if (window_) ::UpdateWindow(window_);
            break;
        }
        case kAnimate:
            p_.animate = value.low != 0;
            if (designMode_) break;
            running_ = p_.animate;
            if (running_) animationStarting_ = true;
            if (image_.kind == ImageKind::kGif) Decode();
            break;
        case kDataSource:
            p_.dataSource = TextOf(value);
            LoadFromDataSource();
            break;
        case kDataColumn:
            p_.dataColumn = TextOf(value);
            LoadFromDataSource();
            break;
        default:
            break;
    }
}

bool PicBox::Get(int32_t index, PropertyValue* value) const {
    switch (index) {
        case kBorder:
            value->low = p_.border;
            return true;
        case kBackColour:
            value->low = p_.background;
            return true;
        case kPicture:
            value->low = p_.picture.empty() ? 0 : reinterpret_cast<uint32_t>(p_.picture.data());
            value->high = static_cast<uint32_t>(p_.picture.size());
            return true;
        case kDisplayMode:
            value->low = p_.displayMode;
            return true;
        case kAnimate:
            value->low = p_.animate;
            return true;
        case kDataSource:
            value->low = reinterpret_cast<uint32_t>(p_.dataSource.c_str());
            return true;
        case kDataColumn:
            value->low = reinterpret_cast<uint32_t>(p_.dataColumn.c_str());
            return true;
        default:
            return false;
    }
}

std::vector<uint8_t> PicBox::WriteBlock() const { return p_.Write(); }

}  // namespace

const UnitTypeDescriptor kPicBoxType = {"图片框",
                                        "PicBox",
                                        unit_flags::kRaisesEventsToo | unit_flags::Kept(0x84010080),
                                        sizeof kProperties / sizeof kProperties[0],
                                        kProperties,
                                        &UnitType<PicBox>::Interface};

VELMORA_TYPE_BLOCK_CODE(PicBoxBlock, PIC_BOX_BLOCK)

}  // namespace ui
