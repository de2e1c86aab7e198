// JPEG pictures through libjpeg. libjpeg reports errors by calling error_exit, whose
// default ends the process; ours jumps back here and the load fails instead.
#include "codecs/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <utility>
#include <new>

#include <jpeglib.h>

#include <jerror.h>

#include "codecs/exif.h"

namespace {

struct JpegReader {
    jpeg_decompress_struct info;
    jpeg_error_mgr errors;
    std::jmp_buf failed;
    Picture picture;
    std::vector<JSAMPLE> row;
};

[[noreturn]] void Fail(j_common_ptr common) {
    std::longjmp(reinterpret_cast<JpegReader*>(common->client_data)->failed, 1);
}

// Warnings about damaged or missing compressed data would otherwise give a picture
// filled out with grey; such a file is a failed load. Oddities in the markers that
// cameras and editors are known to write are tolerated.
void Warn(j_common_ptr common, int level) {
    if (level >= 0) return;  // trace messages
    switch (common->err->msg_code) {
    case JWRN_JPEG_EOF:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_ARITH_BAD_CODE:
    case JWRN_MUST_RESYNC:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_NOT_SEQUENTIAL:
        Fail(common);
    default:
        break;
    }
}

void Quiet(j_common_ptr) {}

uint32_t Rgb(unsigned r, unsigned g, unsigned b) { return uint32_t(r) << 16 | g << 8 | b; }

// Ink amounts to light: each of C, M and Y filters its own primary, K all three.
// Adobe's writers store the inks inverted, which is nearly every CMYK JPEG there is.
uint32_t CmykToRgb(unsigned c, unsigned m, unsigned y, unsigned k, bool inverted) {
    if (!inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    return Rgb((c * k + 127) / 255, (m * k + 127) / 255, (y * k + 127) / 255);
}

void ConvertRow(const JpegReader& r, uint32_t* out) {
    const JSAMPLE* in = r.row.data();
    int width = int(r.info.output_width);
    switch (r.info.out_color_space) {
    case JCS_GRAYSCALE:
        for (int x = 0; x < width; x++) out[x] = Rgb(in[x], in[x], in[x]);
        break;
    case JCS_CMYK:
        for (int x = 0; x < width; x++, in += 4)
            out[x] = CmykToRgb(in[0], in[1], in[2], in[3], r.info.saw_Adobe_marker);
        break;
    default:
        for (int x = 0; x < width; x++, in += 3) out[x] = Rgb(in[0], in[1], in[2]);
        break;
    }
}

const int kExifMarker = JPEG_APP0 + 1;

int OrientationOf(const jpeg_decompress_struct& info) {
    for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
        if (m->marker == kExifMarker && m->data_length >= 6 && memcmp(m->data, "Exif\0\0", 6) == 0)
            return ExifOrientation(m->data, m->data_length);
    return 1;
}

// The smallest of libjpeg's DCT scales, 1/8, 1/4 or 1/2, that still covers the size the
// picture is shown at; 1 when none does.
unsigned ScaleDenominator(unsigned width, unsigned height, PictureSize shown) {
    for (unsigned d : {8u, 4u, 2u})
        if ((width + d - 1) / d >= unsigned(shown.width) && (height + d - 1) / d >= unsigned(shown.height))
            return d;
    return 1;
}

// Everything that libjpeg may jump out of lives in the reader, not in locals.
bool Decode(JpegReader& r, const uint8_t* data, size_t size, PictureSize box) {
    if (setjmp(r.failed)) return false;
    jpeg_create_decompress(&r.info);
    jpeg_mem_src(&r.info, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&r.info, kExifMarker, 0xFFFF);
    if (jpeg_read_header(&r.info, TRUE) != JPEG_HEADER_OK) return false;
    const unsigned storedWidth = r.info.image_width, storedHeight = r.info.image_height;
    if (!PictureSizeAllowed(storedWidth, storedHeight)) return false;
    const int orientation = OrientationOf(r.info);
    const bool turns = OrientationTurns(orientation);
    PictureSize upright{int(turns ? storedHeight : storedWidth), int(turns ? storedWidth : storedHeight)};
    PictureSize shown = FitSize(upright, box);
    if (turns) std::swap(shown.width, shown.height);
    r.info.scale_num = 1;
    r.info.scale_denom = ScaleDenominator(storedWidth, storedHeight, shown);
    switch (r.info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        r.info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        r.info.out_color_space = JCS_CMYK;
        break;
    default:
        r.info.out_color_space = JCS_RGB;
        break;
    }
    jpeg_start_decompress(&r.info);
    int width = int(r.info.output_width), height = int(r.info.output_height);
    try {
        r.picture.pixels.resize(size_t(width) * size_t(height));
        r.row.resize(size_t(width) * size_t(r.info.output_components));
    } catch (const std::bad_alloc&) {
        return false;
    }
    r.picture.width = width;
    r.picture.height = height;
    while (r.info.output_scanline < r.info.output_height) {
        size_t y = r.info.output_scanline;
        JSAMPROW rows[1] = {r.row.data()};
        if (jpeg_read_scanlines(&r.info, rows, 1) != 1) return false;
        ConvertRow(r, &r.picture.pixels[y * size_t(width)]);
    }
    jpeg_finish_decompress(&r.info);
    OrientPicture(r.picture, orientation);
    r.picture.full = upright;
    return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, Picture& picture, PictureSize box) {
    if (!data || size == 0) return false;
    JpegReader r;
    r.info.err = jpeg_std_error(&r.errors);
    r.errors.error_exit = Fail;
    r.errors.emit_message = Warn;
    r.errors.output_message = Quiet;
    r.info.client_data = &r;
    bool ok = Decode(r, data, size, box);
    jpeg_destroy_decompress(&r.info);
    if (ok) picture = std::move(r.picture);
    return ok;
}
