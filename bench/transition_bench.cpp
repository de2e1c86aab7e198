// Every transition effect on a 155 x 113 and a 1024 x 768 picture, drawn onto a window
// the way the gobu draws them, paced against the clock as the gobu paces them: wall
// time beside the designed time (its waits times the unit), which pacing should keep
// within 5 %, and the process's CPU time as a share of it. Run under Wine or Windows:
//   bench_transitions          units as this machine's calibration gives them
//   bench_transitions 50       units of 50 microseconds, as on a slower machine
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/startup.h"
#include "pictures/slideshow.h"
#include "ui/forms.h"

namespace {

const char* const kNames[] = {"None",           "Slide Left",    "Slide Right", "Slide Down",
                              "Slide Up",       "Fingers",       "Blocks",      "Expand",
                              "Close Curtains", "Open Curtains", "Blink",       "UnBlink"};

double ProcessCpuSeconds() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    auto seconds = [](FILETIME t) {
        return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

struct Run {
    double wall, cpuShare;
};

// Runs the effect often enough to give the process clock a quarter of a second to
// count; the figures are those of one run.
template <class Wait>
Run Measure(HWND window, HBITMAP picture, int w, int h, int effect, Wait wait) {
    TransitionRandom random(7);
    std::vector<TransitionStep> steps = TransitionSteps(effect, w, h, random);
    HDC dc = GetDC(window);
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, picture);
    const double cpu0 = ProcessCpuSeconds(), wall0 = SteadySeconds();
    int runs = 0;
    do {
        PatBlt(dc, 0, 0, w, h, BLACKNESS);
        DrawTransitionSteps(dc, source, w, h, steps, wait);
        runs++;
    } while (SteadySeconds() - wall0 < 0.25);
    const double wall = SteadySeconds() - wall0, cpu = ProcessCpuSeconds() - cpu0;
    SelectObject(source, old);
    DeleteDC(source);
    ReleaseDC(window, dc);
    return {wall / runs, cpu / wall};
}

}  // namespace

int main(int argc, char** argv) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = "TransitionBench";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "bench", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768,
                                  nullptr, nullptr, instance, nullptr);

    // The gobu's own calibration, once for every run below.
    const int speedCount = ScaleSpeedCount(CountReadsPerTick(), "nt");
    const double secondsPerCount = MeasureCountDownSeconds();
    const double unitGiven = argc > 1 ? std::atof(argv[1]) * 1e-6 : 0;
    const long long passesPerUnit =
        unitGiven > 0 ? std::llround(unitGiven / secondsPerCount) : (long long)(speedCount / 3);
    const double unitSeconds = double(passesPerUnit) * secondsPerCount;
    std::printf("transitions under the gobu's pacing against their designed time (waits x unit)\n");
    if (unitGiven > 0)
        std::printf("units as on a slower machine: ");
    else
        std::printf("SpeedCount %d measured here: ", speedCount);
    std::printf("a unit is %lld passes of %.2f ns = %.1f us\n\n", passesPerUnit, secondsPerCount * 1e9,
                unitSeconds * 1e6);
    std::printf("%-15s %-9s %7s %9s | %10s %9s %6s | %7s\n", "effect", "picture", "waits", "wait ms",
                "designed s", "paced s", "cpu", "paced");
    int outside = 0, effects = 0;
    for (auto size : {std::pair<int, int>{155, 113}, {1024, 768}}) {
        const int w = size.first, h = size.second;
        uint32_t* px = nullptr;
        HBITMAP dib = CreatePixelBitmap(w, h, nullptr, &px);
        for (int i = 0; i < w * h; i++)
            px[i] = uint32_t((i % w) * 255 / w) << 16 | uint32_t((i / w) * 255 / h) << 8;
        HBITMAP picture = CopyToDeviceBitmap(dib);
        for (int effect = 1; effect <= kEffectLastDrawn; effect++) {
            TransitionRandom random(7);
            int waits = 0, units = 0;
            long long totalUnits = 0;
            for (const TransitionStep& s : TransitionSteps(effect, w, h, random))
                if (s.kind == TransitionStep::Wait) waits++, units = s.units, totalUnits += s.units;
            TFineTimer fine;
            TransitionPacer pacer = WindowsPacer();
            Run paced =
                Measure(window, picture, w, h, effect, [&](int n) { pacer.Wait(double(n) * unitSeconds); });
            const double designed = double(totalUnits) * unitSeconds;
            const double ratio = designed > 0 ? paced.wall / designed : 0;
            const bool within = std::fabs(ratio - 1) <= 0.05;
            effects++;
            outside += within ? 0 : 1;
            char dims[16];
            std::snprintf(dims, sizeof dims, "%dx%d", w, h);
            std::printf("%-15s %-9s %7d %9.3f | %10.3f %9.3f %5.0f%% | %6.3fx%s\n", kNames[effect], dims,
                        waits, units * unitSeconds * 1e3, designed, paced.wall, paced.cpuShare * 100, ratio,
                        within ? "" : "  outside 5 %");
        }
        DeleteObject(picture);
        DeleteObject(dib);
    }
    std::printf("paced time within 5 %% of the designed time: %d of %d effects (goal: all)\n",
                effects - outside, effects);
    DestroyWindow(window);
    return 0;
}
