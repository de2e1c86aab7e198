#include "pictures/transition.h"

#include <algorithm>

namespace {

// The builder of one effect's steps.
struct Steps {
    std::vector<TransitionStep> list;
    void Copy(int left, int top, int right, int bottom) {
        list.push_back({TransitionStep::Copy, {left, top, right, bottom}, 0});
    }
    void Wait(int units) { list.push_back({TransitionStep::Wait, {0, 0, 0, 0}, units}); }
    // One step of the curtains: 4-pixel columns at x from the left and from the right.
    void Columns(int x, int w, int h) {
        Copy(x, 0, x + 4, h);
        Copy(w - x - 4, 0, w - x, h);
        Wait(200);
    }
    // One step of the eyelids: 4-pixel rows at y from the top and from the bottom.
    void Rows(int y, int w, int h) {
        Copy(0, y, w, y + 4);
        Copy(0, h - y - 4, w, h - y);
        Wait(200);
    }
};

// A 32 x 40 grid over a span of W + 41 by H + 31 pixels, every block shown once in
// random order; a block drawn again is skipped without a wait.
void Blocks(Steps& s, int w, int h, TransitionRandom& random) {
    const int columns = 32, rows = 40;
    const int cw = (w + 41) / columns, ch = (h + 31) / rows;
    std::vector<bool> shown(columns * rows, false);
    std::uniform_int_distribution<int> column(0, columns - 1), row(0, rows - 1);
    for (int count = 0; count < columns * rows;) {
        int a = column(random), b = row(random);
        if (shown[a * rows + b]) continue;
        shown[a * rows + b] = true;
        s.Copy(a * cw, b * ch, a * cw + cw, b * ch + ch);
        count++;
        s.Wait(15);
    }
}

// The effects' captions in the order of their numbers; their steps follow.
const char* const kCaptions[] = {
    "None",   "Slide Left",     "Slide Right",   "Slide Down", "Slide Up", "Fingers", "Blocks",
    "Expand", "Close Curtains", "Open Curtains", "Blink",      "UnBlink",  "Random",
};
static_assert(sizeof kCaptions / sizeof kCaptions[0] == kEffectCount, "one caption per effect");

}  // namespace

std::string TransitionCaptions() {
    std::string captions = kCaptions[0];
    for (int effect = 1; effect < kEffectCount; effect++) (captions += '|') += kCaptions[effect];
    return captions;
}

std::vector<TransitionStep> TransitionSteps(int effect, int w, int h, TransitionRandom& random) {
    Steps s;
    switch (effect) {
    case kEffectNone:
        s.Copy(0, 0, w, h);
        break;
    case kEffectSlideLeft:
        for (int x = 0; x < w; x++) s.Wait(60), s.Copy(x, 0, x + 1, h);
        break;
    case kEffectSlideRight:
        for (int x = w - 1; x >= 0; x--) s.Wait(60), s.Copy(x, 0, x + 1, h);
        break;
    case kEffectSlideDown:
        for (int y = 0; y < h; y++) s.Wait(60), s.Copy(0, y, w, y + 1);
        break;
    case kEffectSlideUp:
        for (int y = h - 1; y >= 0; y--) s.Wait(60), s.Copy(0, y, w, y + 1);
        break;
    case kEffectFingers: {  // seventeen strips, odd ones from the left, even ones from the right
        const int strip = h / 16;
        for (int j = 0; j <= w / 8 + 1; j++)
            for (int i = 0; i <= 16; i++) {
                int left = i % 2 ? j * 8 : w - j * 8;
                s.Copy(left, i * strip, left + 8, i * strip + strip);
                s.Wait(20);
            }
        break;
    }
    case kEffectBlocks:
        Blocks(s, w, h, random);
        break;
    case kEffectExpand: {  // a centred rectangle grows in 100 steps
        const int cx = w / 2, cy = h / 2;
        for (int i = 1; i <= 100; i++) {
            int dx = w * i / 200, dy = h * i / 200;
            s.Copy(cx - dx, cy - dy, cx + dx, cy + dy);
            s.Wait(40);
        }
        break;
    }
    case kEffectCloseCurtains:
        for (int x = 0; x <= w / 2; x += 4) s.Columns(x, w, h);
        break;
    case kEffectOpenCurtains:
        for (int x = w / 2; x >= -3; x -= 4) s.Columns(x, w, h);
        break;
    case kEffectBlink:
        for (int y = 0; y <= h / 2 + 3; y += 4) s.Rows(y, w, h);
        break;
    case kEffectUnBlink:
        for (int y = h / 2; y >= -3; y -= 4) s.Rows(y, w, h);
        break;
    }
    return s.list;
}

int ChooseRandomEffect(int last, TransitionRandom& random) {
    std::uniform_int_distribution<int> effect(1, kEffectLastDrawn);
    int chosen;
    do chosen = effect(random);
    while (chosen == last);
    return chosen;
}

PictureRect ClipToPicture(const PictureRect& r, int w, int h) {
    return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, w), std::min(r.bottom, h)};
}

void CountDown(long long count) {
    for (volatile long long k = count; k > 0; k = k - 1) {
    }
}

TransitionPacer::TransitionPacer(std::function<double()> now, std::function<void(int)> sleep)
    : now_(std::move(now)), sleep_(std::move(sleep)) {}

void TransitionPacer::Wait(double seconds) {
    const double start = now_();
    const double end = start + seconds - late_;
    if (end <= start) {
        late_ = start - end;
        return;
    }
    for (double left = end - start; left > 0; left = end - now_()) {
        // Sleeps end a little early or late; what one overruns is taken off the next
        // wait, so only under half a millisecond is ever spun.
        if (left >= 0.0005) sleep_(int(left * 1000 + 0.5));
    }
    late_ = now_() - end;
}
