// Small owners of GDI objects, device contexts and registry keys: each gives back what
// it holds when it goes out of scope, so that no early return or exception leaks it.
#pragma once
#include <windows.h>

// A window's device context (the screen's for a null window), released at the end.
class TWindowDC {
public:
    explicit TWindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~TWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    operator HDC() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// An object selected into a device context for as long as this lives; the one it
// replaced is selected again at the end.
class TSelection {
public:
    TSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc ? SelectObject(dc, object) : nullptr) {}
    ~TSelection() {
        if (old_) SelectObject(dc_, old_);
    }
    TSelection(const TSelection&) = delete;
    TSelection& operator=(const TSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// A memory device context like another one, with a bitmap selected into it: the
// source or target of a block transfer. The bitmap stays its owner's.
class TMemoryDC {
public:
    TMemoryDC(HDC like, HBITMAP bitmap) : owned_{CreateCompatibleDC(like)}, selection_(owned_.dc, bitmap) {}
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    operator HDC() const { return owned_.dc; }

private:
    struct Owned {
        HDC dc;
        ~Owned() {
            if (dc) DeleteDC(dc);
        }
    } owned_;
    // Declared after the DC, so the bitmap is deselected before the DC is deleted.
    TSelection selection_;
};

// A GDI object of any kind (region, bitmap, brush, font), deleted at the end unless
// it has been handed on with Release.
template <class Handle>
class TGdiObject {
public:
    explicit TGdiObject(Handle object = nullptr) : object_(object) {}
    ~TGdiObject() { Reset(); }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    operator Handle() const { return object_; }

    // Deletes the object held and holds this one instead.
    void Reset(Handle object = nullptr) {
        if (object_ && object_ != object) DeleteObject(object_);
        object_ = object;
    }
    // For a new owner, such as a window given its region.
    Handle Release() {
        Handle object = object_;
        object_ = nullptr;
        return object;
    }

private:
    Handle object_;
};

// An open registry key, closed at the end. Open and Create return the registry's
// answer; the key is usable only after ERROR_SUCCESS.
class TRegKey {
public:
    TRegKey() = default;
    ~TRegKey() { Close(); }
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;
    operator HKEY() const { return key_; }

    LONG Open(HKEY root, const char* path, REGSAM access) {
        Close();
        HKEY key = nullptr;
        const LONG result = RegOpenKeyExA(root, path, 0, access, &key);
        if (result == ERROR_SUCCESS) key_ = key;
        return result;
    }
    // Opens the key, making it first where it is missing.
    LONG Create(HKEY root, const char* path, REGSAM access) {
        Close();
        HKEY key = nullptr;
        const LONG result = RegCreateKeyExA(root, path, 0, nullptr, 0, access, nullptr, &key, nullptr);
        if (result == ERROR_SUCCESS) key_ = key;
        return result;
    }

private:
    void Close() {
        if (key_) RegCloseKey(key_);
        key_ = nullptr;
    }
    HKEY key_ = nullptr;
};
