// A scripted drag of 1,000 pointer moves over a form of 50 child windows,
// two of them drop targets, against the same moves without a drag: the
// drag loop's per-step hit test and callbacks must stay cheap. Prints the
// time per step of both and their ratio.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win/DragDrop.h"
#include "platform/win/Headless.h"
#include "platform/win/Window.h"

namespace {

constexpr int kMoves = 1000;

class TCheapTarget : public TInterfacedObject, public IDropTarget {
public:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        if (iid == IDropTarget::IID) {
            *obj = static_cast<IDropTarget*>(this);
            return true;
        }
        return TInterfacedObject::GetInterface(iid, obj);
    }
    HRESULT DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override { return Answer(effect); }
    HRESULT DragOver(DWORD, POINTL, DWORD* effect) override { return Answer(effect); }
    HRESULT DragLeave() override { return S_OK; }
    HRESULT Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override { return Answer(effect); }
    long Calls { 0 };

private:
    HRESULT Answer(DWORD* effect)
    {
        ++Calls;
        *effect &= DROPEFFECT_COPY;
        return S_OK;
    }
};

class TCheapSource : public TInterfacedObject, public IDropSource {
public:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        if (iid == IDropSource::IID) {
            *obj = static_cast<IDropSource*>(this);
            return true;
        }
        return TInterfacedObject::GetInterface(iid, obj);
    }
    // The script arrives as input while the loop holds the capture, as real
    // input does.
    HRESULT QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        if (Script) {
            std::exchange(Script, nullptr)();
            return S_OK;
        }
        return escape ? DRAGDROP_S_CANCEL : (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
    std::function<void()> Script;
};

LRESULT Proc(HWND h, UINT m, WPARAM w, LPARAM l)
{
    return DefWindowProc(h, m, w, l);
}

// A form of 10 x 5 children of 70 x 100 pixels; children 12 and 37 are
// drop targets.
struct TForm {
    TForm()
    {
        WNDCLASSEX wc;
        wc.lpfnWndProc = &Proc;
        wc.lpszClassName = u"BenchWindow";
        RegisterClassEx(wc);
        Form = CreateWindowEx(0, u"BenchWindow", u"", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 720, 520, nullptr, nullptr,
            nullptr, nullptr);
        for (int i = 0; i < 50; ++i) {
            HWND c = CreateWindowEx(0, u"BenchWindow", u"", WS_CHILD | WS_VISIBLE, 10 + (i % 10) * 70, 10 + (i / 10) * 100,
                70, 100, Form, nullptr, nullptr, nullptr);
            if (i == 12 || i == 37)
                RegisterDragDrop(c, Targets[i == 12 ? 0 : 1].get());
        }
        Headless::PumpUntilIdle();
    }
    // A zigzag across the form that visits every child.
    static TPoint At(int i) { return { 15 + (i * 7) % 690, 15 + (i * 3) % 490 }; }
    HWND Form { nullptr };
    TComPtr<TCheapTarget> Targets[2] { TComPtr<TCheapTarget>(new TCheapTarget), TComPtr<TCheapTarget>(new TCheapTarget) };
};

TForm& Form()
{
    static TForm f;
    return f;
}

void BM_DragSteps(benchmark::State& state)
{
    TForm& form = Form();
    TComPtr<TCheapSource> source(new TCheapSource);
    TComPtr<TDataObject> data(new TDataObject);
    long drops = 0;
    for (auto _ : state) {
        Headless::MouseDown(TForm::At(0));
        Headless::PumpUntilIdle();
        source->Script = [] {
            for (int i = 1; i <= kMoves; ++i)
                Headless::MouseMove(TForm::At(i));
            Headless::MouseUp(TForm::At(kMoves));
        };
        DWORD effect = 0;
        drops += DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect) == DRAGDROP_S_DROP;
    }
    state.SetItemsProcessed(state.iterations() * kMoves);
    state.counters["target calls per drag"] = double(form.Targets[0]->Calls + form.Targets[1]->Calls) / double(state.iterations());
    benchmark::DoNotOptimize(drops);
}

void BM_MovesWithoutDrag(benchmark::State& state)
{
    Form();
    int dispatched = 0;
    for (auto _ : state) {
        for (int i = 1; i <= kMoves; ++i)
            Headless::MouseMove(TForm::At(i));
        dispatched += Headless::PumpUntilIdle();
    }
    state.SetItemsProcessed(state.iterations() * kMoves);
    benchmark::DoNotOptimize(dispatched);
}

BENCHMARK(BM_DragSteps)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MovesWithoutDrag)->Unit(benchmark::kMicrosecond);

class TCapture : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const auto& r : runs)
            Times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Times;
};

} // namespace

int main(int argc, char** argv)
{
    THeadlessSession session;
    OleInitialize();
    benchmark::Initialize(&argc, argv);
    TCapture capture;
    benchmark::RunSpecifiedBenchmarks(&capture);
    const auto drag = capture.Times.find("BM_DragSteps"), plain = capture.Times.find("BM_MovesWithoutDrag");
    if (drag != capture.Times.end() && plain != capture.Times.end() && plain->second > 0) {
        // Both are in microseconds per 1,000 moves: nanoseconds per move.
        std::printf("\n%d moves over 50 windows, 2 of them drop targets:\n", kMoves);
        std::printf("  drag step        %8.0f ns per move\n", drag->second);
        std::printf("  plain move       %8.0f ns per move\n", plain->second);
        std::printf("  ratio            %8.2fx (goal: at most 2)\n", drag->second / plain->second);
    }
    OleUninitialize();
    return 0;
}
