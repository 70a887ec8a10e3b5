// The DropTarget's drop adapter: a data object of ours dropped on the
// IDropTarget that OLE holds for the registered window, and the events the
// unit raises in the engine's loaded window.
#include "tests/net/drop_fixture.h"

namespace {

using namespace drop_test;

TEST_F(DropTargetDropTest, TwoFilesArriveAsLinesAndOneFileAsItsPathAlone) {
    LoadRegistered(Block(0, 0, 0, 1));
    DataObject two;
    two.Add(CF_HDROP, FileList({"C:\\片段\\a.m3u8", "C:\\b.txt"}));
    DropOutcome outcome = DragAndDrop(&two);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), outcome.enterEffect);
    EXPECT_EQ(E_FAIL, outcome.dropResult);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), outcome.dropEffect);

    DataObject one;
    one.Add(CF_HDROP, FileList({"C:\\下载\\media.m3u8"}));
    EXPECT_EQ(E_FAIL, DragAndDrop(&one).dropResult);

    const std::vector<Raised> expected = {
        {kFilesDropped, "C:\\片段\\a.m3u8\r\nC:\\b.txt\r\n"},
        {kFilesDropped, "C:\\下载\\media.m3u8"},
    };
    EXPECT_EQ(expected, g_raised);
}

TEST_F(DropTargetDropTest, AFileListRunningPastItsBlockRaisesNothing) {
    LoadRegistered(Block(0, 0, 0, 1));
    std::string unterminated = FileList({"C:\\a.txt"});
    unterminated.resize(unterminated.size() - 2);  // both terminators gone
    DataObject data;
    data.Add(CF_HDROP, unterminated);
    EXPECT_EQ(E_FAIL, DragAndDrop(&data).dropResult);
    EXPECT_TRUE(g_raised.empty()) << g_raised.size() << " events";
}

TEST_F(DropTargetDropTest, TextBesideHtmlRaisesNothingOnATextOnlyTarget) {
    LoadRegistered(Block(1, 0, 0, 0));
    DataObject selection;
    selection.AddText(CF_TEXT, "网页上的文字").AddText(HtmlFormat(), "<b>x</b>");
    const DropOutcome outcome = DragAndDrop(&selection);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_COPY), outcome.enterEffect);
    EXPECT_EQ(E_FAIL, outcome.dropResult);
    EXPECT_TRUE(g_raised.empty()) << g_raised.size() << " events";
    EXPECT_EQ(std::vector<UINT>{HtmlFormat()}, selection.taken());

    DataObject plain;
    plain.AddText(CF_TEXT, "网页上的文字");
    EXPECT_EQ(E_FAIL, DragAndDrop(&plain).dropResult);
    EXPECT_EQ((std::vector<Raised>{{kTextDropped, "网页上的文字"}}), g_raised);
}

TEST_F(DropTargetDropTest, FilesAreIgnoredWhenNotAccepted) {
    LoadRegistered(Block(1, 1, 1, 0));
    DataObject files;
    files.Add(CF_HDROP, FileList({"C:\\a.txt"}));
    const DropOutcome outcome = DragAndDrop(&files);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), outcome.enterEffect);
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), outcome.dropEffect);
    EXPECT_EQ(E_FAIL, outcome.dropResult);
    EXPECT_TRUE(g_raised.empty()) << g_raised.size() << " events";
    EXPECT_TRUE(files.taken().empty());
}

TEST_F(DropTargetDropTest, EffectFollowsTheKeysAndWhatTheSourceAllows) {
    LoadRegistered(Block(1, 0, 0, 0));
    DataObject data;
    data.AddText(CF_TEXT, "x");
    IDropTarget* target = TargetOf(target_);
    const POINTL point{1, 1};
    DWORD effect = kAnyEffect;
    ASSERT_EQ(S_OK, target->DragEnter(&data, MK_LBUTTON, point, &effect));

    const struct {
        DWORD keys;
        DWORD allowed;
        DWORD expected;
    } kCases[] = {
        {MK_CONTROL | MK_SHIFT, kAnyEffect, DROPEFFECT_NONE},  // a link is never offered
        {MK_CONTROL, kAnyEffect, DROPEFFECT_COPY},
        {MK_CONTROL, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_NONE},
        {MK_SHIFT, kAnyEffect, DROPEFFECT_MOVE},
        {MK_SHIFT, DROPEFFECT_COPY, DROPEFFECT_NONE},
        {0, kAnyEffect, DROPEFFECT_COPY},
        {0, DROPEFFECT_MOVE | DROPEFFECT_LINK, DROPEFFECT_MOVE},
        {0, DROPEFFECT_LINK, DROPEFFECT_LINK},
        {0, DROPEFFECT_NONE, DROPEFFECT_NONE},
    };
    for (const auto& c : kCases) {
        effect = c.allowed;
        EXPECT_EQ(S_OK, target->DragOver(MK_LBUTTON | c.keys, point, &effect));
        EXPECT_EQ(c.expected, effect) << "keys " << c.keys << " allowed " << c.allowed;
        effect = c.allowed;
        EXPECT_EQ(S_OK, target->DragEnter(&data, MK_LBUTTON | c.keys, point, &effect));
        EXPECT_EQ(c.expected, effect) << "entering, keys " << c.keys << " allowed " << c.allowed;
    }

    // A refused effect refuses the drop; so does a drag that has left.
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE),
              DragAndDrop(&data, MK_CONTROL | MK_SHIFT).dropEffect);
    effect = kAnyEffect;
    target->DragEnter(&data, MK_LBUTTON, point, &effect);
    EXPECT_EQ(S_OK, target->DragLeave());
    effect = kAnyEffect;
    EXPECT_EQ(E_FAIL, target->Drop(&data, 0, point, &effect));
    EXPECT_EQ(static_cast<DWORD>(DROPEFFECT_NONE), effect);
    EXPECT_TRUE(g_raised.empty()) << g_raised.size() << " events";
}

TEST_F(DropTargetDropTest, EventsArriveInTheOrderTextHtmlUrlFiles) {
    LoadRegistered(Block(1, 1, 1, 1));
    DataObject withoutHtml;
    withoutHtml.Add(CF_HDROP, FileList({"C:\\a.txt"}))
        .AddText(UrlFormat(), "http://127.0.0.1/list.m3u8")
        .AddText(CF_TEXT, "文字");
    EXPECT_EQ(E_FAIL, DragAndDrop(&withoutHtml).dropResult);
    DataObject withHtml;
    withHtml.Add(CF_HDROP, FileList({"C:\\b.txt"}))
        .AddText(UrlFormat(), "http://127.0.0.1/b")
        .AddText(HtmlFormat(), "<p>b</p>")
        .AddText(CF_TEXT, "b");
    EXPECT_EQ(E_FAIL, DragAndDrop(&withHtml).dropResult);

    const std::vector<Raised> expected = {
        {kTextDropped, "文字"},
        {kUrlDropped, "http://127.0.0.1/list.m3u8"},
        {kFilesDropped, "C:\\a.txt"},
        {kHtmlDropped, "<p>b</p>"},
        {kUrlDropped, "http://127.0.0.1/b"},
        {kFilesDropped, "C:\\b.txt"},
    };
    EXPECT_EQ(expected, g_raised);
}

TEST_F(DropTargetDropTest, HtmlComesFromUtf8WithNoBreakSpacesAsSpaces) {
    LoadRegistered(Block(0, 1, 0, 0));
    DataObject html;
    // "<b>下载", U+00A0, "列表</b>" in UTF-8.
    html.AddText(HtmlFormat(), "<b>\xE4\xB8\x8B\xE8\xBD\xBD\xC2\xA0\xE5\x88\x97\xE8\xA1\xA8</b>");
    EXPECT_EQ(E_FAIL, DragAndDrop(&html).dropResult);
    EXPECT_EQ((std::vector<Raised>{{kHtmlDropped, "<b>下载 列表</b>"}}), g_raised);
}

TEST_F(DropTargetDropTest, AdapterAnswersOnlyForItsOwnInterfaces) {
    LoadRegistered(Block(0, 0, 0, 1));
    IDropTarget* target = TargetOf(target_);
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, target->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    EXPECT_EQ(static_cast<IUnknown*>(target), unknown);
    const ULONG afterQuery = unknown->Release();
    EXPECT_EQ(afterQuery + 1, target->AddRef());
    EXPECT_EQ(afterQuery, target->Release());
    void* data = &data;
    EXPECT_EQ(E_NOINTERFACE, target->QueryInterface(IID_IDataObject, &data));
    EXPECT_EQ(nullptr, data);
}

}  // namespace
