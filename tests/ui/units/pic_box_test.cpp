// The PicBox unit driven through its interface routines on a real parent
// window, and its GIF animator. Pictures are built here: PNGs with libpng's
// simplified writer, GIFs by hand.
#include "ui/units/pic_box.h"
#include "tests/support/unit_test_helpers.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <png.h>

#include <tlhelp32.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/template_records.h"
#include "tests/ui/units/picture/hand_made_images.h"
#include "tests/ui/units/test_table.h"
#include "ui/event_dispatch.h"
#include "ui/unit_support.h"
#include "ui/units/picture/gif_animator.h"
#include "ui/window_lifecycle.h"
#include "ui/window_state.h"

namespace {

using PicBlock = ui::PicBoxBlock;

using unit_testing::Pixels;

constexpr int32_t kBorder = 8;
constexpr int32_t kBackColour = 9;
constexpr int32_t kPicture = 10;
constexpr int32_t kDisplayMode = 11;
constexpr int32_t kAnimate = 12;
constexpr int32_t kDataSource = 13;
constexpr int32_t kDataColumn = 14;

constexpr uint32_t kControlId = 130;
constexpr uint32_t kRed = 0xFF0000;  // canvas pixels are 0x00RRGGBB
constexpr uint32_t kBlue = 0x0000FF;
constexpr uint32_t kGreen = 0x00FF00;
// Long enough for any frame of the test animations to show many times.
constexpr DWORD kPatienceMs = 5000;

uint32_t Pixel(COLORREF colour) {
    return uint32_t{GetRValue(colour)} << 16 | uint32_t{GetGValue(colour)} << 8 | GetBValue(colour);
}

// B, G, R, A pixels, rows top-down, as a PNG file.
std::string PngBytes(uint32_t width, uint32_t height, const std::vector<uint8_t>& bgra) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, bgra.data(), 0, nullptr);
    std::string bytes(size, '\0');
    EXPECT_TRUE(png_image_write_to_memory(&image, &bytes[0], &size, 0, bgra.data(), 0, nullptr))
        << image.message;
    bytes.resize(size);
    return bytes;
}

std::string SolidPng(uint32_t width, uint32_t height, uint32_t rgb) {
    const uint8_t pixel[] = {static_cast<uint8_t>(rgb), static_cast<uint8_t>(rgb >> 8),
                             static_cast<uint8_t>(rgb >> 16), 255};
    std::vector<uint8_t> bgra(width * height * sizeof pixel);
    for (size_t i = 0; i < bgra.size(); ++i) bgra[i] = pixel[i % sizeof pixel];
    return PngBytes(width, height, bgra);
}

struct TestGifFrame {
    uint16_t left, top, width, height;
    std::vector<uint8_t> indexes;
    uint16_t delayHundredths = 2;
};

// A GIF89a with the global table black, red, blue, green. Each pixel is coded
// after a clear code, so the code table never grows past 3-bit codes.
std::string GifBytes(uint16_t width, uint16_t height, const std::vector<TestGifFrame>& frames) {
    std::string gif = "GIF89a";
    const auto u16 = [&gif](uint16_t value) {
        gif += static_cast<char>(value & 0xFF);
        gif += static_cast<char>(value >> 8);
    };
    u16(width);
    u16(height);
    gif += "\x91";                // global table of 4 entries
    gif += std::string(2, '\0');  // background index, aspect
    gif += std::string("\x00\x00\x00\xFF\x00\x00\x00\x00\xFF\x00\xFF\x00", 12);
    for (const TestGifFrame& frame : frames) {
        gif += std::string("\x21\xF9\x04\x00", 4);  // graphic control: no transparency
        u16(frame.delayHundredths);
        gif += std::string("\x00\x00", 2);
        gif += "\x2C";
        u16(frame.left);
        u16(frame.top);
        u16(frame.width);
        u16(frame.height);
        gif += '\0';  // no local table, not interlaced
        std::string codes;
        uint32_t buffer = 0;
        int bits = 0;
        const auto put = [&](uint32_t code) {
            buffer |= code << bits;
            for (bits += 3; bits >= 8; bits -= 8, buffer >>= 8) {
                codes += static_cast<char>(buffer & 0xFF);
            }
        };
        for (uint8_t index : frame.indexes) {
            put(4);  // clear
            put(index);
        }
        put(5);  // end of information
        if (bits) codes += static_cast<char>(buffer & 0xFF);
        gif += '\x02';  // minimum code size
        for (size_t at = 0; at < codes.size(); at += 255) {
            const std::string block = codes.substr(at, 255);
            gif += static_cast<char>(block.size());
            gif += block;
        }
        gif += '\0';
    }
    gif += ';';
    return gif;
}

// Two 4 x 4 frames, red then blue, 20 ms each.
std::string RedBlueGif() {
    return GifBytes(
        4, 4,
        {{0, 0, 4, 4, std::vector<uint8_t>(16, 1)}, {0, 0, 4, 4, std::vector<uint8_t>(16, 2)}});
}

int ThreadCount() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == ::GetCurrentProcessId()) ++count;
    }
    ::CloseHandle(snapshot);
    return count;
}

template <typename Routine>
Routine RoutineOf(int32_t number) {
    return reinterpret_cast<Routine>(ui::kPicBoxType.interfaceRoutine(number));
}

class PicBoxTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 40;
    static constexpr int kHeight = 30;

    void SetUp() override {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = &::DefWindowProcA;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "VelmoraPicBoxTestParent";
        ::RegisterClassA(&windowClass);
        parent_ = ::CreateWindowExA(0, windowClass.lpszClassName, "",
                                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 300, 200, nullptr,
                                    nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(nullptr, parent_);
    }
    void TearDown() override { ::DestroyWindow(parent_); }

    std::unique_ptr<ui::Unit> Create(const std::vector<uint8_t>& block, uint32_t style = 0,
                                     uint32_t designMode = 0) {
        const auto create = RoutineOf<ui::CreateRoutine>(ui::routine::kCreate);
        return std::unique_ptr<ui::Unit>(create(block.data(), static_cast<int32_t>(block.size()),
                                                style, parent_, kControlId, nullptr, 10, 20, kWidth,
                                                kHeight, 0x52000001, 0x16000003, 0, designMode));
    }
    std::unique_ptr<ui::Unit> CreateWith(const std::string& picture, uint32_t colour,
                                         uint32_t mode = 0, uint32_t animate = 1) {
        PicBlock block;
        block.picture = picture;
        block.background = colour;
        block.displayMode = mode;
        block.animate = animate;
        return Create(block.Write());
    }

    static int32_t Set(ui::Unit* unit, int32_t property, uint32_t low, uint32_t high = 0) {
        return unit_testing::SetProperty(ui::kPicBoxType, unit, property, low, high);
    }
    static void SetPicture(ui::Unit* unit, const std::string& bytes) {
        Set(unit, kPicture, reinterpret_cast<uint32_t>(bytes.data()),
            static_cast<uint32_t>(bytes.size()));
    }
    static ui::PropertyValue Get(ui::Unit* unit, int32_t property) {
        return unit_testing::GetProperty(ui::kPicBoxType, unit, property);
    }

    // What the box paints, through WM_PRINTCLIENT into a bitmap of its size.
    static std::unique_ptr<Pixels> Render(ui::Unit* unit) {
        auto canvas = std::make_unique<Pixels>(kWidth, kHeight, 0xABCDEF);
        ::SendMessageA(unit->hwnd(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas->dc()),
                       PRF_CLIENT);
        return canvas;
    }
    static void ExpectOnly(const Pixels& canvas, uint32_t colour, const RECT& where,
                           uint32_t elsewhere) {
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const POINT point{x, y};
                const uint32_t expected = ::PtInRect(&where, point) ? colour : elsewhere;
                ASSERT_EQ(expected, canvas.At(x, y)) << "at " << x << "," << y;
            }
        }
    }

    // Renders until each colour has shown at (1,1) or patience runs out.
    static std::set<uint32_t> ColoursSeen(ui::Unit* unit, std::set<uint32_t> wanted) {
        std::set<uint32_t> seen;
        const DWORD start = ::GetTickCount();
        while (!std::includes(seen.begin(), seen.end(), wanted.begin(), wanted.end()) &&
               ::GetTickCount() - start < kPatienceMs) {
            seen.insert(Render(unit)->At(1, 1));
            ::Sleep(5);
        }
        return seen;
    }

    ui::EventSuppression quiet_;
    HWND parent_ = nullptr;
};

TEST_F(PicBoxTest, EmptyBlockGivesABorderlessBoxOfItsOwnClassWithDefaults) {
    auto unit = Create({}, WS_DISABLED);
    ASSERT_NE(nullptr, unit);
    HWND box = unit->hwnd();
    char className[32] = {};
    ::GetClassNameA(box, className, sizeof className);
    EXPECT_STREQ("_ZV_PicBox", className);
    EXPECT_EQ(static_cast<DWORD>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS),
              ::GetClassLongA(box, GCL_STYLE));
    EXPECT_EQ(::GetStockObject(NULL_BRUSH),
              reinterpret_cast<HGDIOBJ>(::GetClassLongPtrA(box, GCLP_HBRBACKGROUND)));
    EXPECT_EQ(::LoadCursorA(nullptr, IDC_ARROW),
              reinterpret_cast<HCURSOR>(::GetClassLongPtrA(box, GCLP_HCURSOR)));
    EXPECT_EQ(static_cast<DWORD>(WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED),
              unit_testing::Style(box) & (WS_CHILD | WS_CLIPSIBLINGS | WS_DISABLED | WS_BORDER));
    EXPECT_EQ(0u, unit_testing::ExStyle(box) &
                      (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE));
    EXPECT_EQ(kControlId, static_cast<uint32_t>(::GetDlgCtrlID(box)));

    EXPECT_EQ(0u, Get(unit.get(), kBorder).low);
    EXPECT_EQ(ui::kButtonFaceColour, Get(unit.get(), kBackColour).low);
    EXPECT_EQ(0u, Get(unit.get(), kPicture).low);
    EXPECT_EQ(0u, Get(unit.get(), kPicture).high);
    EXPECT_EQ(0u, Get(unit.get(), kDisplayMode).low);
    EXPECT_EQ(1u, Get(unit.get(), kAnimate).low);
    EXPECT_STREQ("", reinterpret_cast<const char*>(Get(unit.get(), kDataSource).low));

    // Nothing to show: the button face over the whole box.
    ExpectOnly(*Render(unit.get()), Pixel(::GetSysColor(COLOR_BTNFACE)), RECT{},
               Pixel(::GetSysColor(COLOR_BTNFACE)));
}

TEST_F(PicBoxTest, BlocksAreReadByVersionAndWrittenAsVersionTwo) {
    PicBlock block;
    EXPECT_EQ(nullptr, Create(unit_testing::AsVersion(block.Write(), 3)));

    block.border = 3;
    block.background = 0x123456;
    block.displayMode = 9;
    block.animate = 0;
    block.picture = "not a picture";
    // Version 1 has no data-binding texts: two empty counted texts fewer.
    auto unit = Create(unit_testing::AsVersion(block.Write(), 1, 8));
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(2u, Get(unit.get(), kDisplayMode).low);
    const ui::PropertyValue picture = Get(unit.get(), kPicture);
    EXPECT_EQ("not a picture",
              std::string(reinterpret_cast<const char*>(picture.low), picture.high));

    Set(unit.get(), kDataSource, reinterpret_cast<uint32_t>("数据源1"));
    Set(unit.get(), kDataColumn, reinterpret_cast<uint32_t>("照片"));
    const auto write = RoutineOf<ui::WriteTypeBlockRoutine>(ui::routine::kWriteTypeBlock);
    PicBlock expected = block;
    expected.displayMode = 2;
    expected.dataSource = "数据源1";
    expected.dataColumn = "照片";
    EXPECT_EQ(expected.Write(), write(unit.get()));

    // A block cut short is refused as a whole.
    std::vector<uint8_t> truncated = expected.Write();
    truncated.resize(truncated.size() - 3);
    EXPECT_EQ(nullptr, Create(truncated));
}

TEST_F(PicBoxTest, BorderAndModeAreClampedAndApplied) {
    auto unit = Create({});
    ASSERT_NE(nullptr, unit);
    HWND box = unit->hwnd();
    const auto edges = [box] {
        return unit_testing::ExStyle(box) &
               (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE);
    };
    const auto border = [box] { return unit_testing::Style(box) & WS_BORDER; };
    EXPECT_EQ(0, Set(unit.get(), kBorder, 4));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME), edges());
    Set(unit.get(), kBorder, 77);
    EXPECT_EQ(5u, Get(unit.get(), kBorder).low);
    EXPECT_EQ(0u, edges());
    EXPECT_EQ(static_cast<DWORD>(WS_BORDER), border());
    RECT client;
    ::GetClientRect(box, &client);
    EXPECT_EQ(kWidth - 2, client.right);
    Set(unit.get(), kBorder, static_cast<uint32_t>(-2));
    EXPECT_EQ(0u, Get(unit.get(), kBorder).low);
    EXPECT_EQ(0u, border());

    Set(unit.get(), kDisplayMode, 3);
    EXPECT_EQ(2u, Get(unit.get(), kDisplayMode).low);
    Set(unit.get(), kDisplayMode, static_cast<uint32_t>(-1));
    EXPECT_EQ(0u, Get(unit.get(), kDisplayMode).low);
}

TEST_F(PicBoxTest, PictureThatCannotBeDecodedLeavesOnlyTheBackground) {
    auto unit = CreateWith("GIF89a but nothing after it", 0x00FF00);
    ASSERT_NE(nullptr, unit);
    ExpectOnly(*Render(unit.get()), kGreen, RECT{}, kGreen);

    // Seven bytes are no picture, whatever they begin with.
    SetPicture(unit.get(), SolidPng(2, 2, kRed).substr(0, 7));
    ExpectOnly(*Render(unit.get()), kGreen, RECT{}, kGreen);

    SetPicture(unit.get(), SolidPng(2, 2, kRed));
    ExpectOnly(*Render(unit.get()), kRed, RECT{0, 0, 2, 2}, kGreen);
    SetPicture(unit.get(), "");
    ExpectOnly(*Render(unit.get()), kGreen, RECT{}, kGreen);
}

TEST_F(PicBoxTest, PartlyTransparentPngBlendsAgainstTheButtonFace) {
    // Opaque red, blue at alpha 100, transparent white.
    const std::string png = PngBytes(3, 1, {0, 0, 255, 255, 255, 0, 0, 100, 255, 255, 255, 0});
    auto unit = CreateWith(png, ui::kButtonFaceColour);
    ASSERT_NE(nullptr, unit);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const auto blend = [](int alpha, int pixel, int background) {
        return static_cast<uint32_t>(alpha / 255.0 * pixel + (1 - alpha / 255.0) * background);
    };
    const uint32_t halfBlue = blend(100, 0, GetRValue(face)) << 16 |
                              blend(100, 0, GetGValue(face)) << 8 |
                              blend(100, 255, GetBValue(face));
    const auto canvas = Render(unit.get());
    EXPECT_EQ(kRed, canvas->At(0, 0));
    EXPECT_EQ(halfBlue, canvas->At(1, 0));
    EXPECT_EQ(Pixel(face), canvas->At(2, 0));
    EXPECT_EQ(Pixel(face), canvas->At(0, 1));

    // The same through a real WM_PAINT on the screen.
    ::ShowWindow(parent_, SW_SHOWNOACTIVATE);
    ::ShowWindow(unit->hwnd(), SW_SHOWNA);
    ::UpdateWindow(parent_);
    HDC dc = ::GetDC(unit->hwnd());
    EXPECT_EQ(kRed, Pixel(::GetPixel(dc, 0, 0)));
    EXPECT_EQ(halfBlue, Pixel(::GetPixel(dc, 1, 0)));
    EXPECT_EQ(face, ::GetPixel(dc, 2, 0));
    ::ReleaseDC(unit->hwnd(), dc);

    // Another background colour blends the same pixels anew.
    Set(unit.get(), kBackColour, 0x000000);
    EXPECT_EQ(blend(100, 255, 0), Render(unit.get())->At(1, 0));
}

TEST_F(PicBoxTest, DisplayModesPlaceThePicture) {
    auto unit = CreateWith(SolidPng(10, 10, kRed), 0x00FF00, 2);
    ASSERT_NE(nullptr, unit);
    // Smaller than the 40 x 30 box: unscaled and centred.
    ExpectOnly(*Render(unit.get()), kRed, RECT{15, 10, 25, 20}, kGreen);

    // Wider only: scaled to the box width, centred vertically.
    SetPicture(unit.get(), SolidPng(80, 10, kBlue));
    ExpectOnly(*Render(unit.get()), kBlue, RECT{0, 12, 40, 17}, kGreen);

    // Larger both ways: the smaller factor decides, 1/2 for 80 x 60, 1/3 for 60 x 90.
    SetPicture(unit.get(), SolidPng(80, 60, kRed));
    ExpectOnly(*Render(unit.get()), kRed, RECT{0, 0, 40, 30}, kGreen);
    SetPicture(unit.get(), SolidPng(60, 90, kRed));
    ExpectOnly(*Render(unit.get()), kRed, RECT{10, 0, 30, 30}, kGreen);

    Set(unit.get(), kDisplayMode, 0);
    SetPicture(unit.get(), SolidPng(10, 10, kRed));
    ExpectOnly(*Render(unit.get()), kRed, RECT{0, 0, 10, 10}, kGreen);
    Set(unit.get(), kDisplayMode, 1);
    ExpectOnly(*Render(unit.get()), kRed, RECT{0, 0, kWidth, kHeight}, kGreen);
}

TEST_F(PicBoxTest, AnimatedGifPlaysUntilThePictureIsReplaced) {
    const int before = ThreadCount();
    auto unit = CreateWith(RedBlueGif(), 0x00FF00);
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(before + 1, ThreadCount());
    const std::set<uint32_t> seen = ColoursSeen(unit.get(), {kRed, kBlue});
    EXPECT_EQ(1u, seen.count(kRed));
    EXPECT_EQ(1u, seen.count(kBlue));
    // The 4 x 4 canvas sits at the top-left corner over the background.
    EXPECT_EQ(kGreen, Render(unit.get())->At(4, 4));

    SetPicture(unit.get(), SolidPng(2, 2, kBlue));
    EXPECT_EQ(before, ThreadCount());
    ExpectOnly(*Render(unit.get()), kBlue, RECT{0, 0, 2, 2}, kGreen);

    // Back to the animation, then the unit goes while it plays.
    SetPicture(unit.get(), RedBlueGif());
    EXPECT_EQ(before + 1, ThreadCount());
    HWND box = unit->hwnd();
    unit.reset();
    EXPECT_EQ(before, ThreadCount());
    EXPECT_FALSE(::IsWindow(box));
}

TEST_F(PicBoxTest, AnimationStopsWhenTheWindowGoesBeforeTheUnit) {
    const int before = ThreadCount();
    auto unit = CreateWith(RedBlueGif(), 0x00FF00);
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(before + 1, ThreadCount());
    // The engine deletes units after their windows are gone.
    ::DestroyWindow(parent_);
    EXPECT_EQ(before, ThreadCount());
    EXPECT_EQ(nullptr, unit->hwnd());
    unit.reset();
    EXPECT_EQ(before, ThreadCount());
}

TEST_F(PicBoxTest, AnimateSwitchesBetweenPlayingAndTheFirstFrame) {
    const int before = ThreadCount();
    auto unit = CreateWith(RedBlueGif(), 0x00FF00, 0, 0);
    ASSERT_NE(nullptr, unit);
    EXPECT_EQ(before, ThreadCount());
    ExpectOnly(*Render(unit.get()), kRed, RECT{0, 0, 4, 4}, kGreen);

    Set(unit.get(), kAnimate, 1);
    EXPECT_EQ(before + 1, ThreadCount());
    EXPECT_EQ(1u, ColoursSeen(unit.get(), {kBlue}).count(kBlue));

    Set(unit.get(), kAnimate, 0);
    EXPECT_EQ(before, ThreadCount());
    ExpectOnly(*Render(unit.get()), kRed, RECT{0, 0, 4, 4}, kGreen);

    // In design mode nothing plays.
    PicBlock block;
    block.picture = RedBlueGif();
    auto designed = Create(block.Write(), 0, 1);
    ASSERT_NE(nullptr, designed);
    EXPECT_EQ(before, ThreadCount());
    Set(designed.get(), kAnimate, 1);
    EXPECT_EQ(before, ThreadCount());
}

TEST(GifAnimatorTest, FramesAreComposedAtTheirOffsetsWithTransparency) {
    ui::GifCanvas canvas(4 * 3, 0x111111);
    ui::GifFrame frame;
    frame.left = 1;
    frame.top = 1;
    frame.width = 2;
    frame.height = 2;
    frame.palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{0, 0, 255, 0}, RGBQUAD{255, 0, 0, 0}};
    frame.indexes = {1, 0, 0, 2};
    frame.transparent = true;
    frame.transparentIndex = 0;
    ui::ComposeGifFrame(canvas, 4, 3, frame);
    EXPECT_EQ((ui::GifCanvas{0x111111, 0x111111, 0x111111, 0x111111,  //
                             0x111111, kRed, 0x111111, 0x111111,      //
                             0x111111, 0x111111, kBlue, 0x111111}),
              canvas);

    // Parts beyond the canvas and indexes beyond the palette are left out.
    frame.left = 3;
    frame.top = 2;
    frame.transparent = false;
    frame.indexes = {2, 1, 7, 1};
    ui::ComposeGifFrame(canvas, 4, 3, frame);
    EXPECT_EQ(kBlue, canvas[11]);
    frame.left = 0;
    frame.top = 0;
    ui::ComposeGifFrame(canvas, 4, 3, frame);
    EXPECT_EQ(kBlue, canvas[0]);
    EXPECT_EQ(kRed, canvas[1]);
    EXPECT_EQ(0x111111u, canvas[4]);
    EXPECT_EQ(kRed, canvas[5]);

    // Frames whose indexes fall short of their size are not drawn.
    frame.indexes.pop_back();
    frame.palette[2] = RGBQUAD{0, 255, 0, 0};
    ui::ComposeGifFrame(canvas, 4, 3, frame);
    EXPECT_EQ(kBlue, canvas[0]);
}

TEST(GifAnimatorTest, ThreadDrawsTheFramesAndStopsOnRequest) {
    HWND window = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 20, 20, nullptr, nullptr,
                                    nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    ui::GifAnimation animation;
    animation.width = 2;
    animation.height = 2;
    for (uint8_t index : {1, 2}) {
        ui::GifFrame frame;
        frame.width = frame.height = 2;
        frame.delayMs = 20;
        frame.palette = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{0, 0, 255, 0}, RGBQUAD{255, 0, 0, 0}};
        frame.indexes.assign(4, index);
        animation.frames.push_back(frame);
    }
    const int before = ThreadCount();
    ui::GifAnimator animator;
    EXPECT_FALSE(animator.running());
    ASSERT_TRUE(animator.Start(window, animation, RGB(0, 255, 0), 1));
    EXPECT_TRUE(animator.running());
    EXPECT_EQ(before + 1, ThreadCount());

    // Stretched over the whole client area.
    const RECT client{0, 0, 8, 8};
    const RECT place = animator.CanvasRect(client);
    EXPECT_EQ(8, place.right);
    EXPECT_EQ(8, place.bottom);
    std::set<uint32_t> seen;
    const DWORD start = ::GetTickCount();
    while ((!seen.count(kRed) || !seen.count(kBlue)) && ::GetTickCount() - start < kPatienceMs) {
        Pixels canvas(8, 8, 0);
        animator.DrawCanvas(canvas.dc(), client);
        seen.insert(canvas.At(7, 7));
        ::Sleep(5);
    }
    EXPECT_EQ(1u, seen.count(kRed));
    EXPECT_EQ(1u, seen.count(kBlue));

    animator.Stop();
    EXPECT_FALSE(animator.running());
    EXPECT_EQ(before, ThreadCount());
    animator.Stop();

    // No window, no canvas of any size: nothing starts.
    ::DestroyWindow(window);
    EXPECT_FALSE(animator.Start(window, animation, 0, 0));
    EXPECT_EQ(before, ThreadCount());
}

// A box bound to a data source's column shows the cell of the current row:
// bound when the window's units all exist (the table is made after the box),
// and again when the row moves or that column's cell changes.
TEST(PicBoxBinding, ThePictureFollowsTheBoundCell) {
    constexpr uint32_t kWindowId = 0x52000301, kTableId = 0x16000302, kBoxId = 0x16000303;
    const std::vector<uint8_t> red = image_test::Bmp24(1, 1, {0, 0, 255, 0});
    const std::vector<uint8_t> blue = image_test::Bmp24(2, 1, {255, 0, 0, 255, 0, 0, 0, 0});
    const std::vector<uint8_t> green = image_test::Bmp24(3, 1, std::vector<uint8_t>(12, 0x80));
    ui::PicBoxBlock bound;
    bound.dataSource = "表格1";
    bound.dataColumn = "图片";
    using unit_testing::UnitRecord;
    const std::vector<std::vector<uint8_t>> records = {
        UnitRecord({0x00010001, "", {0, 0, 240, 160}, 0, {}, {}}),
        UnitRecord({test_table::kTypeCode, "表格1", {0, 0, 10, 10}, 0, {}, {}}),
        UnitRecord({0x00010006, "图片框1", {10, 10, 60, 40}, 1, {}, bound.Write()}),
    };
    test_table::g_rowsOfNextTable = {{{"图片", std::string(red.begin(), red.end())}},
                                     {{"图片", std::string(blue.begin(), blue.end())}}};
    ASSERT_TRUE(ui::BuildWindowStates(
        {unit_testing::WindowTemplateOf(kWindowId, {0x06000300, kTableId, kBoxId}, records)}));
    ASSERT_TRUE(ui::LoadWindowFromTemplate(kWindowId, false, false, nullptr));
    ui::WindowState* window = ui::FindWindowState(kWindowId);
    auto* table = static_cast<test_table::Table*>(window->FindUnit(kTableId)->object.get());
    ui::Unit* box = window->FindUnit(kBoxId)->object.get();
    const auto picture = [box] {
        const ui::PropertyValue value = unit_testing::GetProperty(ui::kPicBoxType, box, 10);
        return std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(value.low),
                                    reinterpret_cast<const uint8_t*>(value.low) + value.high);
    };
    EXPECT_EQ(red, picture());

    table->MoveTo(1);
    EXPECT_EQ(blue, picture());
    table->MoveTo(0);
    EXPECT_EQ(red, picture());
    table->SetCell("其他", std::string(green.begin(), green.end()));
    EXPECT_EQ(red, picture());
    table->SetCell("图片", std::string(green.begin(), green.end()));
    EXPECT_EQ(green, picture());

    // Naming another column binds the box to it at once.
    table->SetCell("其他", std::string(blue.begin(), blue.end()));
    unit_testing::SetProperty(ui::kPicBoxType, box, 14, reinterpret_cast<uint32_t>("其他"));
    EXPECT_EQ(blue, picture());

    ::DestroyWindow(window->hwnd);
    ui::BuildWindowStates({});
}

}  // namespace
