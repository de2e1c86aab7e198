// The fuzz target of the GIF decoder: every frame through GifDecoder, then a bounded
// number of steps of GifAnimation; the sanitizers do the checking. Built with libFuzzer
// on demand, and driven by a bounded mutation run in the ordinary tests.
#include <vector>

#include "codecs/gif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    GifDecoder gif;
    if (gif.Open(data, size)) {
        while (gif.NextFrame()) {
        }
    }
    // Each step decodes at most a frame and a rewind; a few are enough to go round
    // the loop, and more would only repeat it.
    GifAnimation animation;
    if (animation.Open(std::vector<uint8_t>(data, data + size))) {
        for (int step = 0; step < 24 && animation.Advance(); step++) {
        }
    }
    return 0;
}
