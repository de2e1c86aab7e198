// Showing the gobu's picture: the working bitmap, the window's size, its shape.
#include "pictures/display.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "app/mainform.h"
#include "app/utility.h"
#include "codecs/picture.h"
#include "pictures/picform.h"
#include "pictures/shape.h"

namespace {

// Older Windows versions refuse regions made of more rectangles in one call.
const size_t kRectsPerRegion = 2000;

const UINT_PTR kFrameTimer = 1;

}  // namespace

bool ReadPixels(HBITMAP bitmap, int width, int height, std::vector<uint32_t>& pixels) {
    BITMAPINFO info = TopDownInfo32(width, height);
    pixels.assign(size_t(width) * height, 0);
    TWindowDC screen(nullptr);
    return GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS) == height;
}

namespace {

// Adds a batch of runs to the region as one ExtCreateRegion call.
void AddRuns(HRGN region, const ShapeRun* runs, size_t count) {
    std::vector<char> buffer(sizeof(RGNDATAHEADER) + count * sizeof(RECT));
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    data->rdh.dwSize = sizeof(RGNDATAHEADER);
    data->rdh.iType = RDH_RECTANGLES;
    data->rdh.nCount = DWORD(count);
    data->rdh.nRgnSize = DWORD(count * sizeof(RECT));
    RECT bounds = {runs[0].left, runs[0].y, runs[0].right, runs[0].y + 1};
    auto* rects = reinterpret_cast<RECT*>(data->Buffer);
    for (size_t i = 0; i < count; i++) {
        const ShapeRun& r = runs[i];
        rects[i] = RECT{r.left, r.y, r.right, r.y + 1};
        if (r.left < bounds.left) bounds.left = r.left;
        if (r.right > bounds.right) bounds.right = r.right;
        if (r.y + 1 > bounds.bottom) bounds.bottom = r.y + 1;
    }
    data->rdh.rcBound = bounds;
    TGdiObject<HRGN> part(ExtCreateRegion(nullptr, DWORD(buffer.size()), data));
    if (part) CombineRgn(region, region, part, RGN_OR);
}

}  // namespace

HRGN RegionOfPicture(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels;
    if (!ReadPixels(bitmap, width, height, pixels)) return nullptr;
    std::vector<ShapeRun> runs = ShapeRuns(pixels.data(), width, height);
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (size_t i = 0; i < runs.size(); i += kRectsPerRegion)
        AddRuns(region, runs.data() + i, std::min(kRectsPerRegion, runs.size() - i));
    return region;
}

namespace {

// Picture files are read whole; none that a gobu can show comes near this size.
const size_t kMaxPictureFileBytes = size_t(256) << 20;

bool ReadPictureFile(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes, kMaxPictureFileBytes);
}

const uint8_t* BytesOf(const std::string& bytes) { return reinterpret_cast<const uint8_t*>(bytes.data()); }

}  // namespace

HBITMAP LoadPicture(const std::string& path) {
    PictureFormat format = PictureFormatOf(path);
    if (format == PictureFormat::Bitmap)
        return HBITMAP(
            LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    try {
        std::string bytes;
        Picture picture;
        if (format == PictureFormat::Unknown || !ReadPictureFile(path, bytes) ||
            !DecodePicture(format, BytesOf(bytes), bytes.size(), picture))
            return nullptr;
        return CreatePixelBitmap(picture.width, picture.height, picture.pixels.data());
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

std::unique_ptr<GifAnimation> LoadAnimation(const std::string& path) {
    try {
        std::string bytes;
        if (!ReadPictureFile(path, bytes)) return nullptr;
        auto animation = std::make_unique<GifAnimation>();
        if (!animation->Open(std::vector<uint8_t>(bytes.begin(), bytes.end()))) return nullptr;
        return animation;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void TAnimatedImage::Animate(std::unique_ptr<GifAnimation> animation) {
    uint32_t* bits = nullptr;
    HBITMAP frame =
        CreatePixelBitmap(animation->Width(), animation->Height(), animation->Screen().data(), &bits);
    if (!frame) return;
    SetPicture(frame);
    animation_ = std::move(animation);
    frameBits_ = bits;
    if (Handle()) SetTimer(Handle(), kFrameTimer, UINT(animation_->DelayMs()), nullptr);
}

void TAnimatedImage::Stop() {
    if (Handle()) KillTimer(Handle(), kFrameTimer);
    animation_.reset();
    frameBits_ = nullptr;
}

void TAnimatedImage::PictureChanging() {
    if (animation_) Stop();
}

void TAnimatedImage::Timer(UINT_PTR id) {
    if (id != kFrameTimer || !animation_) return;
    KillTimer(Handle(), kFrameTimer);
    bool advanced;
    try {
        advanced = animation_->Advance();
    } catch (const std::bad_alloc&) {
        advanced = false;
    }
    if (!advanced) {
        // Ended: the last frame stays as a still picture.
        Stop();
        return;
    }
    const std::vector<uint32_t>& screen = animation_->Screen();
    memcpy(frameBits_, screen.data(), screen.size() * sizeof screen[0]);
    GdiFlush();
    InvalidateRect(Handle(), nullptr, FALSE);
    SetTimer(Handle(), kFrameTimer, UINT(animation_->DelayMs()), nullptr);
}

void Tmain::ShowPicture(int index, bool reshape) {
    WorkBitmap.Reset();
    image.Transparent = menutransparent.Checked();
    // Anything that does not load shows the built-in picture, silently; the list stays.
    std::string listed, path;
    HBITMAP loaded = nullptr;
    if (index >= 0 && index < piclist->list.Count()) {
        listed = piclist->list.Caption(index);
        path = ResolvedPath(listed);
        loaded = LoadPicture(path);
    }
    if (loaded)
        image.SetPicture(loaded);
    else
        image.Assign(gobuholder);
    WorkBitmap.Reset(CopyToDeviceBitmap(image.Picture()));
    if (!WorkBitmap) return;
    SetBounds(Left(), Top(), image.Width(), image.Height());
    if (reshape) ApplyShape();
    // The listed name decides, so a GIF found beside the executable animates too.
    std::unique_ptr<GifAnimation> animation;
    if (loaded && piclist->anbox.Checked() && LowerAZ(ExtensionOf(listed)) == ".gif")
        animation = LoadAnimation(path);
    if (animation) image.Animate(std::move(animation));
    image.SetVisible(image.Animating());
    InvalidateRect(Handle, nullptr, FALSE);
}

void Tmain::ApplyShape() {
    if (!WorkBitmap) return;
    BITMAP bm = {};
    GetObjectA(WorkBitmap, sizeof bm, &bm);
    TGdiObject<HRGN> region;
    if (menutransparent.Checked()) {
        Application.SetScreenCursor(crHourGlass);
        region.Reset(RegionOfPicture(WorkBitmap, bm.bmWidth, bm.bmHeight));
        Application.SetScreenCursor(crDefault);
    } else {
        region.Reset(CreateRectRgn(0, 0, bm.bmWidth, bm.bmHeight));
    }
    // The window owns the region once it has taken it; a refused one stays ours.
    if (region && SetWindowRgn(Handle, region, TRUE)) region.Release();
}

void Tmain::FormPaint(HDC dc) {
    if (!WorkBitmap || image.Visible()) return;
    BITMAP bm = {};
    GetObjectA(WorkBitmap, sizeof bm, &bm);
    TMemoryDC picture(dc, WorkBitmap);
    BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, picture, 0, 0, SRCCOPY);
}
