#include "pictures/scaling.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "ui/dpi.h"

namespace {

// The source pixels that one target pixel covers along one axis, with the part of each
// that it covers; the weights of a target pixel sum to 1.
struct Span {
    int first;
    std::vector<float> weights;
};

std::vector<Span> Spans(int from, int to) {
    std::vector<Span> spans(static_cast<size_t>(to));
    const double step = double(from) / to;
    for (int i = 0; i < to; i++) {
        const double start = i * step, end = std::min(double(from), (i + 1) * step);
        Span& s = spans[size_t(i)];
        s.first = int(start);
        for (int j = s.first; j < end; j++) {
            const double covered = std::min(end, j + 1.0) - std::max(start, double(j));
            s.weights.push_back(float(covered / step));
        }
    }
    return spans;
}

// Four channels per pixel: alpha, then red, green and blue, each times alpha.
struct Sums {
    float a, r, g, b;
};

uint8_t Channel(float v) { return uint8_t(std::lround(std::min(255.0f, std::max(0.0f, v)))); }

// Each source pixel's opacity under the rule: 255 or 0 for Keyed and Plain.
int OpacityOf(uint32_t pixel, uint32_t key, ScaleRule rule) {
    switch (rule) {
    case ScaleRule::Alpha:
        return int(pixel >> 24);
    case ScaleRule::Keyed:
        return (pixel & 0xFFFFFF) == key ? 0 : 255;
    default:
        return 255;
    }
}

}  // namespace

Picture ScalePicture(const Picture& source, PictureSize size, ScaleRule rule) {
    const int sw = source.width, sh = source.height, tw = size.width, th = size.height;
    Picture out;
    out.width = tw;
    out.height = th;
    out.full = source.full;
    out.alpha = rule == ScaleRule::Alpha;
    out.pixels.assign(size_t(tw) * th, 0);
    if (sw <= 0 || sh <= 0 || tw <= 0 || th <= 0) return out;
    const uint32_t key = source.pixels[size_t(sh - 1) * sw] & 0xFFFFFF;
    const std::vector<Span> across = Spans(sw, tw), down = Spans(sh, th);

    // Across first, into rows of target width; premultiplied pixels already carry their
    // colour times alpha, the others are multiplied here.
    std::vector<Sums> rows(size_t(tw) * sh);
    for (int y = 0; y < sh; y++) {
        const uint32_t* in = &source.pixels[size_t(y) * sw];
        for (int x = 0; x < tw; x++) {
            const Span& s = across[size_t(x)];
            Sums sum = {0, 0, 0, 0};
            for (size_t k = 0; k < s.weights.size(); k++) {
                const uint32_t p = in[s.first + int(k)];
                const float opacity = float(OpacityOf(p, key, rule));
                const float times = rule == ScaleRule::Alpha ? s.weights[k] * 255 : s.weights[k] * opacity;
                sum.a += s.weights[k] * opacity;
                sum.r += times * float(p >> 16 & 0xFF);
                sum.g += times * float(p >> 8 & 0xFF);
                sum.b += times * float(p & 0xFF);
            }
            rows[size_t(y) * tw + x] = sum;
        }
    }
    for (int y = 0; y < th; y++) {
        const Span& s = down[size_t(y)];
        for (int x = 0; x < tw; x++) {
            Sums sum = {0, 0, 0, 0};
            for (size_t k = 0; k < s.weights.size(); k++) {
                const Sums& v = rows[size_t(s.first + int(k)) * tw + x];
                sum.a += s.weights[k] * v.a;
                sum.r += s.weights[k] * v.r;
                sum.g += s.weights[k] * v.g;
                sum.b += s.weights[k] * v.b;
            }
            uint32_t& pixel = out.pixels[size_t(y) * tw + x];
            if (rule == ScaleRule::Alpha) {
                pixel = uint32_t(Channel(sum.a)) << 24 | uint32_t(Channel(sum.r / 255)) << 16 |
                        uint32_t(Channel(sum.g / 255)) << 8 | Channel(sum.b / 255);
            } else if (rule == ScaleRule::Keyed && !(sum.a > 127.5f)) {
                pixel = key;
            } else {
                // Straight colour: the sums over the opaque part, divided by its share.
                const uint32_t opaque = rule == ScaleRule::Keyed ? 0xFF000000u : 0;
                pixel = opaque | uint32_t(Channel(sum.r / sum.a)) << 16 |
                        uint32_t(Channel(sum.g / sum.a)) << 8 | Channel(sum.b / sum.a);
            }
        }
    }
    return out;
}

void Premultiply(Picture& picture) {
    for (uint32_t& p : picture.pixels) {
        const uint32_t a = p >> 24;
        auto times = [a](uint32_t c) { return (c * a + 127) / 255; };
        p = a << 24 | times(p >> 16 & 0xFF) << 16 | times(p >> 8 & 0xFF) << 8 | times(p & 0xFF);
    }
}

void FlattenOnto(Picture& picture, uint32_t background) {
    for (uint32_t& p : picture.pixels) {
        const uint32_t rest = 255 - (p >> 24);
        auto over = [&](int shift) {
            const uint32_t c = (p >> shift & 0xFF) + ((background >> shift & 0xFF) * rest + 127) / 255;
            return std::min<uint32_t>(255, c) << shift;
        };
        p = over(16) | over(8) | over(0);
    }
    picture.alpha = false;
}

std::vector<ShapeRun> OpaqueRuns(const uint32_t* pixels, int width, int height) {
    std::vector<ShapeRun> runs;
    for (int y = 0; y < height; y++) {
        const uint32_t* row = pixels + size_t(y) * width;
        for (int x = 0; x < width;) {
            while (x < width && (row[x] >> 24) == 0) x++;
            const int left = x;
            while (x < width && (row[x] >> 24) != 0) x++;
            if (x > left) runs.push_back(ShapeRun{y, left, x});
        }
    }
    return runs;
}

ShownPicture PreparePicture(Picture decoded, PictureSize box, bool transparent, int dpi) {
    ShownPicture shown;
    const PictureSize own{decoded.width, decoded.height};
    const PictureSize full = decoded.full.width > 0 ? decoded.full : own;
    const PictureSize size = FitSize(
        PictureSize{std::max(1, ScaleForDpi(full.width, dpi)), std::max(1, ScaleForDpi(full.height, dpi))},
        box);
    const bool resize = size != own;
    if (decoded.alpha) {
        Premultiply(decoded);
        shown.picture = resize ? ScalePicture(decoded, size, ScaleRule::Alpha) : std::move(decoded);
        shown.layered = transparent;
        if (!transparent) FlattenOnto(shown.picture, 0xFFFFFF);
        return shown;
    }
    if (!transparent) {
        shown.picture = resize ? ScalePicture(decoded, size, ScaleRule::Plain) : std::move(decoded);
        return shown;
    }
    if (!resize) {
        shown.picture = std::move(decoded);
        shown.shape = ShapeRuns(shown.picture.pixels.data(), size.width, size.height);
        return shown;
    }
    shown.picture = ScalePicture(decoded, size, ScaleRule::Keyed);
    shown.shape = OpaqueRuns(shown.picture.pixels.data(), size.width, size.height);
    for (uint32_t& p : shown.picture.pixels) p &= 0xFFFFFF;
    shown.picture.alpha = false;
    return shown;
}
