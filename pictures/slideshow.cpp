#include "pictures/slideshow.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app/mainform.h"
#include "pictures/picform.h"
#include "ui/forms.h"

namespace {

using TimePeriodCall = UINT(WINAPI*)(UINT);

// timeBeginPeriod and timeEndPeriod, or null where the library is missing.
TimePeriodCall TimePeriod(const char* name) {
    static HMODULE winmm = LoadSystemLibrary("winmm.dll");
    return winmm ? reinterpret_cast<TimePeriodCall>(reinterpret_cast<void*>(GetProcAddress(winmm, name)))
                 : nullptr;
}

}  // namespace

int CountReadsPerTick() {
    const DWORD t0 = GetTickCount();
    DWORD t1 = t0;
    while (t1 == t0) t1 = GetTickCount();
    int reads = 0;
    DWORD t;
    do {
        t = GetTickCount();
        reads++;
    } while (t == t1);
    return reads;
}

double SteadySeconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        return QueryPerformanceFrequency(&f) ? double(f.QuadPart) : 1000.0;
    }();
    LARGE_INTEGER now;
    if (!QueryPerformanceCounter(&now)) return GetTickCount() / 1000.0;
    return double(now.QuadPart) / frequency;
}

double MeasureCountDownSeconds() {
    const long long passes = 1 << 20;
    double best = 1;
    for (int i = 0; i < 3; i++) {
        double start = SteadySeconds();
        CountDown(passes);
        best = std::min(best, SteadySeconds() - start);
    }
    return best / passes;
}

TransitionPacer WindowsPacer() {
    return TransitionPacer(SteadySeconds, [](int ms) { Sleep(DWORD(ms)); });
}

TFineTimer::TFineTimer() {
    if (TimePeriodCall begin = TimePeriod("timeBeginPeriod")) raised_ = begin(1) == 0;
}

TFineTimer::~TFineTimer() {
    if (!raised_) return;
    if (TimePeriodCall end = TimePeriod("timeEndPeriod")) end(1);
}

void DrawTransitionSteps(HDC window, HDC picture, int width, int height,
                         const std::vector<TransitionStep>& steps, const std::function<void(int)>& wait,
                         const std::function<void()>& present) {
    bool drawn = false;  // since the last present
    auto show = [&] {
        GdiFlush();
        if (present && drawn) present();
        drawn = false;
    };
    for (const TransitionStep& step : steps) {
        if (step.kind == TransitionStep::Wait) {
            show();
            wait(step.units);
            continue;
        }
        PictureRect r = ClipToPicture(step.rect, width, height);
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (w > 0 && h > 0) {
            StretchBlt(window, r.left, r.top, w, h, picture, r.left, r.top, w, h, SRCCOPY);
            drawn = true;
        }
    }
    show();
}

// ---- The gobu window's slide show ----

void Tmain::durationtimerTimer() {
    const int count = piclist->list.Count();
    if (TransitionBusy || count < 2) return;
    if (++CurrentPicture >= count) CurrentPicture = 0;
    ShowPicture(CurrentPicture, true);
    RunTransition(piclist->transitionBox.ItemIndex());
}

void Tmain::SpinDelay(int n) {
    if (SpeedCount < 1) return;
    const long long passes = (long long)(SpeedCount / 3) * n;
    if (passes > 0) Pacer.Wait(double(passes) * SecondsPerCount);
}

void Tmain::RunTransition(int effect) {
    if (image.Visible() || TransitionBusy) return;
    TransitionBusy = true;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    TransitionRandom random(unsigned(now.LowPart ^ GetTickCount()));
    if (effect == kEffectRandom) effect = LastRandomEffect = ChooseRandomEffect(LastRandomEffect, random);

    RECT client;
    GetClientRect(Handle, &client);
    std::vector<TransitionStep> steps = TransitionSteps(effect, client.right, client.bottom, random);
    if (!steps.empty() && WorkBitmap) {
        TFineTimer fine;
        auto wait = [this](int units) { SpinDelay(units); };
        TWindowDC dc(Handle);
        TMemoryDC picture(dc, WorkBitmap);
        if (Layered && LayeredScreen) {
            // Each step is composed into what the layered window shows, then shown.
            TMemoryDC screen(dc, LayeredScreen);
            DrawTransitionSteps(screen, picture, client.right, client.bottom, steps, wait,
                                [this, &screen] { PresentLayered(screen); });
        } else {
            DrawTransitionSteps(dc, picture, client.right, client.bottom, steps, wait);
        }
    }
    // The repaint that ShowPicture queued draws the whole picture, also what the
    // effect's integer steps left out.
    Sleep(100);
    Application.ProcessMessages();
    TransitionBusy = false;
    if (!DroppedDuringTransition.empty()) AddDroppedFiles(std::exchange(DroppedDuringTransition, {}));
}
