// Showing the gobu's picture: the working bitmap, the window's size, its shape.
#include "pictures/display.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "app/gobufiles.h"
#include "app/mainform.h"
#include "app/utility.h"
#include "codecs/picture.h"
#include "pictures/picform.h"
#include "pictures/scaling.h"
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

HRGN RegionOfRuns(const std::vector<ShapeRun>& runs) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (size_t i = 0; region && i < runs.size(); i += kRectsPerRegion)
        AddRuns(region, runs.data() + i, std::min(kRectsPerRegion, runs.size() - i));
    return region;
}

HRGN RegionOfPicture(HBITMAP bitmap, int width, int height) {
    std::vector<uint32_t> pixels;
    if (!ReadPixels(bitmap, width, height, pixels)) return nullptr;
    return RegionOfRuns(ShapeRuns(pixels.data(), width, height));
}

bool PictureOfBitmap(HBITMAP bitmap, Picture& picture) {
    BITMAP bm = {};
    if (!bitmap || !GetObjectA(bitmap, sizeof bm, &bm) || !PictureSizeAllowed(bm.bmWidth, abs(bm.bmHeight)))
        return false;
    Picture read;
    read.width = bm.bmWidth;
    read.height = abs(bm.bmHeight);
    if (!ReadPixels(bitmap, read.width, read.height, read.pixels)) return false;
    for (uint32_t& p : read.pixels) p &= 0xFFFFFF;
    read.full = PictureSize{read.width, read.height};
    picture = std::move(read);
    return true;
}

PictureSize HalfWorkArea(HWND window) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    RECT work;
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &info))
        work = info.rcWork;
    else if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
        return PictureSize{};
    return PictureSize{(work.right - work.left) / 2, (work.bottom - work.top) / 2};
}

namespace {

// Picture files are read whole; none that a gobu can show comes near this size.
const size_t kMaxPictureFileBytes = size_t(256) << 20;

bool ReadPictureFile(const std::string& path, std::string& bytes) {
    return ReadWholeFile(path, bytes, kMaxPictureFileBytes);
}

const uint8_t* BytesOf(const std::string& bytes) { return reinterpret_cast<const uint8_t*>(bytes.data()); }

}  // namespace

bool LoadPictureFile(const std::string& path, PictureSize box, Picture& picture) {
    PictureFormat format = PictureFormatOf(path);
    try {
        if (format == PictureFormat::Bitmap) {
            TGdiObject<HBITMAP> bitmap(HBITMAP(
                LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
            return PictureOfBitmap(bitmap, picture);
        }
        std::string bytes;
        return format != PictureFormat::Unknown && ReadPictureFile(path, bytes) &&
               DecodePicture(format, BytesOf(bytes), bytes.size(), picture, box);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool IsPictureFile(const std::string& path) {
    uint8_t header[kPictureHeaderBytes];
    DWORD read = 0;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool ok = ReadFile(file, header, sizeof header, &read, nullptr) != 0;
    CloseHandle(file);
    return ok && IsNamedPictureData(path, header, read);
}

std::string PictureFileProblem(const std::string& path, PictureSize box) {
    Picture picture;
    if (LoadPictureFile(path, box, picture)) return "";
    if (FolderExists(path)) return "It is a folder.";
    std::string bytes;
    if (!ReadPictureFile(path, bytes)) {
        const DWORD error = GetLastError();
        return error ? "It could not be read. " + SystemErrorText(error) : "It could not be read.";
    }
    return PictureProblem(path, BytesOf(bytes), bytes.size());
}

HBITMAP LoadPicture(const std::string& path, uint32_t background) {
    Picture picture;
    if (!LoadPictureFile(path, PictureSize{}, picture)) return nullptr;
    if (picture.alpha) {
        Premultiply(picture);
        FlattenOnto(picture, background);
    }
    return CreatePixelBitmap(picture.width, picture.height, picture.pixels.data());
}

bool LoadResourcePicture(const char* name, Picture& picture) {
    HRSRC found = FindResourceA(Application.Instance, name, RT_RCDATA);
    HGLOBAL loaded = found ? LoadResource(Application.Instance, found) : nullptr;
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    try {
        return bytes && DecodePicture(PictureFormat::Png, static_cast<const uint8_t*>(bytes),
                                      SizeofResource(Application.Instance, found), picture);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

HBITMAP PreviewPicture(const std::string& path) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    return LoadPicture(path,
                       uint32_t(GetRValue(face)) << 16 | uint32_t(GetGValue(face)) << 8 | GetBValue(face));
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

void TAnimatedImage::Animate(std::unique_ptr<GifAnimation> animation, PictureSize shown) {
    uint32_t* bits = nullptr;
    HBITMAP frame = CreatePixelBitmap(shown.width, shown.height, nullptr, &bits);
    if (!frame) return;
    SetPicture(frame);  // ends any animation before this one
    animation_ = std::move(animation);
    shown_ = shown;
    frameBits_ = bits;
    try {
        ShowFrame();
    } catch (const std::bad_alloc&) {
        Stop();
        return;
    }
    if (Handle()) SetTimer(Handle(), kFrameTimer, UINT(animation_->DelayMs()), nullptr);
}

void TAnimatedImage::ShowFrame() {
    ::Picture screen;
    screen.width = animation_->Width();
    screen.height = animation_->Height();
    screen.pixels = animation_->Screen();
    if (PictureSize{screen.width, screen.height} != shown_)
        screen = ScalePicture(screen, shown_, ScaleRule::Plain);
    memcpy(frameBits_, screen.pixels.data(), screen.pixels.size() * sizeof screen.pixels[0]);
    GdiFlush();
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
    try {
        ShowFrame();
    } catch (const std::bad_alloc&) {
        Stop();
        return;
    }
    InvalidateRect(Handle(), nullptr, FALSE);
    SetTimer(Handle(), kFrameTimer, UINT(animation_->DelayMs()), nullptr);
}

namespace {

const BLENDFUNCTION kPerPixelAlpha = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

// A layered window is not reliably sent WM_PAINT: its whole picture is drawn on this
// message instead, posted where a plain window's repaint is queued, so that it comes
// at the same point (after a transition, or as soon as the loop runs).
const UINT kPaintLayeredMessage = WM_APP + 1;

}  // namespace

void Tmain::ShowPicture(int index, bool reshape) {
    const bool transparent = menutransparent.Checked();
    image.Transparent = transparent;
    const PictureSize box = HalfWorkArea(Handle);
    // Anything that does not load shows the built-in picture; the list stays. Add told
    // the user of what it could not show.
    std::string listed, path;
    Picture decoded;
    bool loaded = false;
    if (index >= 0 && index < piclist->list.Count()) {
        listed = piclist->list.Caption(index);
        path = ResolvedPath(listed);
        loaded = LoadPictureFile(path, box, decoded);
    }
    if (!loaded && !PictureOfBitmap(gobuholder.Picture(), decoded)) return;
    const bool shaped = transparent || !loaded;
    ShownPicture shown;
    try {
        shown = PreparePicture(std::move(decoded), box, shaped, Application.Dpi);
    } catch (const std::bad_alloc&) {
        return;
    }
    const Picture& p = shown.picture;
    HBITMAP bitmap = CreatePixelBitmap(p.width, p.height, p.pixels.data());
    if (!bitmap) return;
    image.SetPicture(bitmap);
    // A layered window composes from the premultiplied pixels themselves.
    WorkBitmap.Reset(shown.layered ? CreatePixelBitmap(p.width, p.height, p.pixels.data())
                                   : CopyToDeviceBitmap(bitmap));
    WorkShape = std::move(shown.shape);
    Shaped = shaped;
    if (!WorkBitmap) return;
    if (shown.layered) {
        EnterLayered(p.width, p.height);
    } else {
        // The new shape is in place before the window shows anything of the new kind.
        const bool wasLayered = Layered;
        if (reshape || wasLayered) ApplyShape(p.width, p.height);
        if (wasLayered) LeaveLayered();
        SetBounds(Left(), Top(), p.width, p.height);
        // A window that stops being layered has nothing to show until it paints.
        if (wasLayered) RedrawWindow(Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    }
    // The listed name decides, so a GIF found beside the executable animates too.
    std::unique_ptr<GifAnimation> animation;
    if (loaded && piclist->anbox.Checked() && SameIgnoringCase(ExtensionOf(listed), ".gif"))
        animation = LoadAnimation(path);
    if (animation) image.Animate(std::move(animation), PictureSize{p.width, p.height});
    image.SetVisible(image.Animating());
    if (Layered)
        PostMessageA(Handle, kPaintLayeredMessage, 0, 0);
    else
        InvalidateRect(Handle, nullptr, FALSE);
}

void Tmain::EnterLayered(int width, int height) {
    // Clear to begin with: every pixel of alpha 0.
    HBITMAP screen = CreatePixelBitmap(width, height, nullptr);
    if (!screen) return;
    // What the window showed stays where it lies inside the new size until the picture
    // is drawn over it; from a shaped window there is nothing to keep.
    if (Layered && LayeredScreen) {
        TMemoryDC to(nullptr, screen), from(nullptr, LayeredScreen);
        BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY);
    }
    LayeredScreen.Reset(screen);
    if (!Layered) {
        // Layered and not yet updated, the window shows nothing: the region goes unseen.
        SetWindowLongA(Handle, GWL_EXSTYLE, GetWindowLongA(Handle, GWL_EXSTYLE) | WS_EX_LAYERED);
        SetWindowRgn(Handle, nullptr, FALSE);
        Layered = true;
    }
    PresentLayered(TMemoryDC(nullptr, LayeredScreen));
}

void Tmain::LeaveLayered() {
    SetWindowLongA(Handle, GWL_EXSTYLE, GetWindowLongA(Handle, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    Layered = false;
    LayeredScreen.Reset();
}

void Tmain::PresentLayered(HDC screen) {
    BITMAP bm = {};
    GetObjectA(LayeredScreen, sizeof bm, &bm);
    SIZE size = {bm.bmWidth, bm.bmHeight};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = kPerPixelAlpha;
    UpdateLayeredWindow(Handle, nullptr, nullptr, &size, screen, &origin, 0, &blend, ULW_ALPHA);
}

void Tmain::ApplyShape() {
    if (!WorkBitmap || Layered) return;
    BITMAP bm = {};
    GetObjectA(WorkBitmap, sizeof bm, &bm);
    ApplyShape(bm.bmWidth, bm.bmHeight);
}

void Tmain::ApplyShape(int width, int height) {
    TGdiObject<HRGN> region;
    if (Shaped) {
        Application.SetScreenCursor(crHourGlass);
        region.Reset(RegionOfRuns(WorkShape));
        Application.SetScreenCursor(crDefault);
    } else {
        region.Reset(CreateRectRgn(0, 0, width, height));
    }
    // The window owns the region once it has taken it; a refused one stays ours.
    if (region && SetWindowRgn(Handle, region, TRUE)) region.Release();
}

void Tmain::PaintLayered() {
    if (!Layered || !LayeredScreen || !WorkBitmap) return;
    BITMAP bm = {};
    GetObjectA(WorkBitmap, sizeof bm, &bm);
    TMemoryDC picture(nullptr, WorkBitmap), screen(nullptr, LayeredScreen);
    BitBlt(screen, 0, 0, bm.bmWidth, bm.bmHeight, picture, 0, 0, SRCCOPY);
    GdiFlush();
    PresentLayered(screen);
}

void Tmain::FormPaint(HDC dc) {
    if (!WorkBitmap || image.Visible() || Layered) return;
    BITMAP bm = {};
    GetObjectA(WorkBitmap, sizeof bm, &bm);
    TMemoryDC picture(dc, WorkBitmap);
    BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, picture, 0, 0, SRCCOPY);
}

LRESULT Tmain::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kPaintLayeredMessage) return TForm::WndProc(message, wParam, lParam);
    PaintLayered();
    return 0;
}
