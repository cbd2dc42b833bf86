#include "gfxutil/Image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace quolis {
namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    std::longjmp(err->jump, 1);
}

void OnJpegMessage(j_common_ptr) {}

// Decodes into `pixels`; no C++ object with a destructor lives in this frame
// between setjmp and the end, so the error jump skips nothing.
bool DecodeJpegInto(const std::uint8_t* data, std::size_t size, std::vector<std::uint32_t>* pixels,
                    int* width, int* height) {
    jpeg_decompress_struct cinfo{};
    JpegError err{};
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.output_message = OnJpegMessage;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (cinfo.image_width == 0 || cinfo.image_height == 0 ||
        cinfo.image_width > static_cast<JDIMENSION>(kMaxImageSide) ||
        cinfo.image_height > static_cast<JDIMENSION>(kMaxImageSide)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    if (cinfo.output_components != 3) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const std::size_t w = cinfo.output_width;
    const std::size_t h = cinfo.output_height;
    pixels->assign(w * h + w, 0); // the last row doubles as the scanline buffer
    auto* scan = reinterpret_cast<JSAMPLE*>(pixels->data() + w * h);
    while (cinfo.output_scanline < cinfo.output_height) {
        std::size_t y = cinfo.output_scanline;
        JSAMPROW row = scan;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) {
            break;
        }
        std::uint32_t* dst = pixels->data() + y * w;
        for (std::size_t x = 0; x < w; ++x) {
            dst[x] = 0xFF000000u | (std::uint32_t(scan[x * 3]) << 16) |
                     (std::uint32_t(scan[x * 3 + 1]) << 8) | scan[x * 3 + 2];
        }
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    pixels->resize(w * h);
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}

} // namespace

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, Image& out) {
    out.Clear();
    std::vector<std::uint32_t> pixels;
    int w = 0;
    int h = 0;
    if (!DecodeJpegInto(data, size, &pixels, &w, &h)) {
        return false;
    }
    out.width = w;
    out.height = h;
    out.pixels = std::move(pixels);
    return true;
}

} // namespace quolis
