// The slide show's transition effects as sequences of copies and waits, computed
// without Windows: the window side carries a sequence out on the gobu window.
#pragma once
#include <functional>
#include <random>
#include <string>
#include <vector>

// The effects in the order of the Select Picture(s) dialog's list; the settings file
// keeps the number.
enum TransitionEffect : int {
    kEffectNone,
    kEffectSlideLeft,
    kEffectSlideRight,
    kEffectSlideDown,
    kEffectSlideUp,
    kEffectFingers,
    kEffectBlocks,
    kEffectExpand,
    kEffectCloseCurtains,
    kEffectOpenCurtains,
    kEffectBlink,
    kEffectUnBlink,
    kEffectRandom,  // draws no steps of its own: it picks one of the others
    kEffectCount,
    kEffectLastDrawn = kEffectUnBlink,
};

// The captions of the effects in their order, separated by "|", for the dialog's list.
std::string TransitionCaptions();

// A rectangle of the picture: left and top inclusive, right and bottom exclusive.
// It may reach past the picture's edges; what lies outside is clipped when drawn.
struct PictureRect {
    int left, top, right, bottom;
    bool operator==(const PictureRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// One step of an effect: copy a rectangle of the new picture onto the window, or
// wait a number of pacing units.
struct TransitionStep {
    enum Kind { Copy, Wait } kind;
    PictureRect rect;  // for Copy
    int units;      // for Wait
};

using TransitionRandom = std::minstd_rand;

// The steps of an effect up to kEffectLastDrawn on a picture of this size; none for
// any other number.
// "Blocks" draws its order from random.
std::vector<TransitionStep> TransitionSteps(int effect, int width, int height, TransitionRandom& random);

// The effect "Random" picks: one of 1 to 11, never the one it picked last.
int ChooseRandomEffect(int last, TransitionRandom& random);

// The part of a rectangle inside a picture of this size; empty (right <= left or
// bottom <= top) when nothing is.
PictureRect ClipToPicture(const PictureRect& rect, int width, int height);

// An empty loop of count passes that the compiler keeps: the pacing unit's measure.
void CountDown(long long count);

// Waits of given lengths against a clock, sleeping through all but the last fraction
// of a millisecond of each, so that a wait does not keep a processor busy. What a
// sleep overruns is taken off the next wait, so a long run of waits keeps its total
// length.
class TransitionPacer {
public:
    // now gives seconds on a steady clock; sleep sleeps whole milliseconds.
    TransitionPacer(std::function<double()> now, std::function<void(int ms)> sleep);
    void Wait(double seconds);

private:
    std::function<double()> now_;
    std::function<void(int)> sleep_;
    double late_ = 0;  // how far the last wait ran past its end
};
