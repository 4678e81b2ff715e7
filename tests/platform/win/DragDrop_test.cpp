#include "tests/platform/win/DragDropFixture.h"

namespace {

constexpr DWORD kTop = WS_OVERLAPPED | WS_VISIBLE;
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;

} // namespace

TEST_F(DragDropTest, RegistrationHoldsItsTargetUntilRevokedOrTheWindowGoes)
{
    HWND form = Make("form", kTop, Bounds(0, 0, 200, 100));
    HWND child = Make("child", kChild, Bounds(10, 10, 50, 50), form);
    TComPtr<TRecordingTarget> target(new TRecordingTarget("t", Calls));
    HWND gone = Make("gone", kTop, Bounds(0, 0, 10, 10));
    DestroyWindow(gone);

    struct TCase {
        const char* What;
        std::function<HRESULT()> Call;
        HRESULT Expected;
        int References; // ours included
    };
    const TCase cases[] = {
        { "register", [&] { return RegisterDragDrop(child, target.get()); }, S_OK, 2 },
        { "again", [&] { return RegisterDragDrop(child, target.get()); }, DRAGDROP_E_ALREADYREGISTERED, 2 },
        { "no target", [&] { return RegisterDragDrop(form, nullptr); }, E_INVALIDARG, 2 },
        { "no window", [&] { return RegisterDragDrop(gone, target.get()); }, DRAGDROP_E_INVALIDHWND, 2 },
        { "the same target on a second window", [&] { return RegisterDragDrop(form, target.get()); }, S_OK, 3 },
        { "revoke", [&] { return RevokeDragDrop(child); }, S_OK, 2 },
        { "revoke again", [&] { return RevokeDragDrop(child); }, DRAGDROP_E_NOTREGISTERED, 2 },
        { "revoke without a window", [&] { return RevokeDragDrop(gone); }, DRAGDROP_E_INVALIDHWND, 2 },
        { "the window goes", [&] { return DestroyWindow(form) ? S_OK : E_FAIL; }, S_OK, 1 },
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(c.Call(), c.Expected);
        EXPECT_EQ(target->GetRefCount(), c.References);
    }
}

TEST_F(DragDropTest, NothingWorksWithoutOleOrWithMissingArguments)
{
    HWND form = Make("form", kTop, Bounds(0, 0, 200, 100));
    TComPtr<TRecordingTarget> target(new TRecordingTarget("t", Calls));
    TComPtr<TDataObject> data = TextData(u"x");
    TComPtr<TScriptSource> source(new TScriptSource);
    DWORD effect = 7;
    EXPECT_EQ(DoDragDrop(nullptr, source.get(), DROPEFFECT_COPY, &effect), E_INVALIDARG);
    EXPECT_EQ(DoDragDrop(data.get(), nullptr, DROPEFFECT_COPY, &effect), E_INVALIDARG);
    EXPECT_EQ(DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY, nullptr), E_INVALIDARG);

    // The start-up count: the second initialisation answers S_FALSE and
    // needs its own uninitialisation.
    EXPECT_EQ(OleInitialize(), S_FALSE);
    OleUninitialize();
    OleUninitialize();
    EXPECT_EQ(RegisterDragDrop(form, target.get()), CO_E_NOTINITIALIZED);
    EXPECT_EQ(DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY, &effect), CO_E_NOTINITIALIZED);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_TRUE(source->Cursors.empty());
    EXPECT_EQ(target->GetRefCount(), 1);
    EXPECT_EQ(OleInitialize(), S_OK);
}

TEST_F(DragDropTest, DesktopDropsBecomeOneCopyDropOnTheTargetUnderThePointer)
{
    HWND form = Make("form", kTop, Bounds(0, 0, 300, 200));
    HWND list = Make("list", kChild, Bounds(10, 10, 100, 100), form);
    Make("label", kChild, Bounds(10, 10, 30, 20), list);
    auto formTarget = Target("form", form);
    auto listTarget = Target("list", list);
    const std::vector<String> files { u"/home/u/data.csv", u"/home/u/\u00e9t\u00e9.xls" };

    // Files over the label land on the list, its nearest registered ancestor.
    InjectDropBegin(form);
    for (const String& f : files)
        InjectDropFile(form, f);
    InjectDropComplete(form, { 25, 25 });
    EXPECT_TRUE(Calls.empty()); // the drop runs from the message loop
    Pump();
    std::vector<TDropCall> expected {
        { "list", "enter", 0, { 25, 25 } }, { "list", "over", 0, { 25, 25 } }, { "list", "drop", 0, { 25, 25 } },
    };
    EXPECT_EQ(Calls, expected);
    EXPECT_EQ(listTarget->DroppedFiles, files);
    EXPECT_EQ(listTarget->DroppedText, u"<none>");

    // Texts (here without a begin event), with Ctrl held, on the form.
    Calls.clear();
    InjectKey(VK_CONTROL, true);
    Pump();
    InjectDropText(form, u"first");
    InjectDropText(form, u"second");
    InjectDropComplete(form, { 200, 150 });
    Pump();
    InjectKey(VK_CONTROL, false);
    expected = {
        { "form", "enter", MK_CONTROL, { 200, 150 } }, { "form", "over", MK_CONTROL, { 200, 150 } },
        { "form", "drop", MK_CONTROL, { 200, 150 } },
    };
    EXPECT_EQ(Calls, expected);
    EXPECT_EQ(formTarget->DroppedText, u"first\r\nsecond");
    EXPECT_TRUE(formTarget->DroppedFiles.empty());

    // A target that refuses gets a leave; a window without one, an empty
    // drop and a drop on a window that went do nothing.
    Calls.clear();
    listTarget->Answer = [](DWORD, DWORD) -> DWORD { return DROPEFFECT_NONE; };
    InjectDropText(form, u"refused");
    InjectDropComplete(form, { 50, 50 });
    RevokeDragDrop(form);
    InjectDropText(form, u"nobody");
    InjectDropComplete(form, { 200, 150 });
    InjectDropBegin(form);
    InjectDropComplete(form, { 50, 50 });
    HWND other = Make("other", kTop, Bounds(400, 0, 100, 100));
    InjectDropFile(other, u"/tmp/x");
    DestroyWindow(other);
    InjectDropComplete(other, { 450, 50 });
    Pump();
    expected = {
        { "list", "enter", 0, { 50, 50 } }, { "list", "over", 0, { 50, 50 } }, { "list", "leave", 0, {} },
    };
    EXPECT_EQ(Calls, expected);
}
