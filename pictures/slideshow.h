// The window side of the slide show's transitions: drawing a transition's steps onto
// a window, and the clock they are paced by.
#pragma once
#include <windows.h>

#include <functional>
#include <vector>

#include "pictures/transition.h"

// The number of clock reads made during one tick of the system clock, measured from
// the start of a tick: the machine's speed, from which the pacing unit follows.
int CountReadsPerTick();
// The measured length of one pass of CountDown, in seconds.
double MeasureCountDownSeconds();
// Seconds on the performance counter.
double SteadySeconds();
// A pacer on the performance counter that sleeps with Sleep.
TransitionPacer WindowsPacer();

// While one lives the system timer ticks every millisecond, so that short sleeps end
// on time. The multimedia library is taken from the system folder.
class TFineTimer {
public:
    TFineTimer();
    ~TFineTimer();
    TFineTimer(const TFineTimer&) = delete;
    TFineTimer& operator=(const TFineTimer&) = delete;

private:
    bool raised_ = false;
};

// Copies each step's rectangle of the picture (selected into a memory DC) onto the
// same place of the window, clipped to width x height, and hands each wait to wait.
// Every copy reaches the screen before the wait that follows it: present, when given,
// shows what was drawn into a layered window's composition, before each wait and at
// the end.
void DrawTransitionSteps(HDC window, HDC picture, int width, int height,
                         const std::vector<TransitionStep>& steps, const std::function<void(int units)>& wait,
                         const std::function<void()>& present = nullptr);
