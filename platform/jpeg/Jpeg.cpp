#include "platform/jpeg/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

namespace {

// libjpeg reports errors through a callback that must not return; it jumps
// back to the call that set `jump`. Nothing with a destructor is created
// between setjmp and the jump.
struct ErrorTrap {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr cinfo) {
    ErrorTrap* trap = reinterpret_cast<ErrorTrap*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, trap->message);
    longjmp(trap->jump, 1);
}

// Warnings (corrupt data, premature end of data) are errors for us: a
// picture that decodes only in part is refused rather than shown garbled.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level < 0) OnError(cinfo);
}

}  // namespace

bool JpegDecode(const uint8_t* data, size_t size, JpegImage& out, std::string& error) {
    if (data == nullptr || size < 4 || size > 0x7FFFFFFF) {
        error = "not a JPEG file";
        return false;
    }
    jpeg_decompress_struct cinfo;
    ErrorTrap trap;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = OnError;
    trap.mgr.emit_message = OnMessage;
    trap.message[0] = 0;
    uint8_t* volatile rows = nullptr;
    // volatile: these change between setjmp and a possible longjmp.
    volatile int width = 0, height = 0;
    volatile uint32_t stride = 0;
    if (setjmp(trap.jump)) {
        jpeg_destroy_decompress(&cinfo);
        std::free(rows);
        error = trap.message[0] ? trap.message : "bad JPEG data";
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, (unsigned long)size);
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.num_components != 1 && cinfo.num_components != 3) {
        std::snprintf(trap.message, sizeof trap.message, "unsupported JPEG with %d channels", cinfo.num_components);
        longjmp(trap.jump, 1);
    }
    width = (int)cinfo.image_width;
    height = (int)cinfo.image_height;
    if (width <= 0 || height <= 0 || width > kJpegMaxSide || height > kJpegMaxSide ||
        (int64_t)width * height > kJpegMaxPixels) {
        std::snprintf(trap.message, sizeof trap.message, "JPEG of %d x %d is too large", width, height);
        longjmp(trap.jump, 1);
    }
    cinfo.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&cinfo);
    stride = ((uint32_t)width * 3 + 3) & ~3u;
    rows = (uint8_t*)std::calloc((size_t)stride * height, 1);
    if (rows == nullptr) {
        std::snprintf(trap.message, sizeof trap.message, "out of memory");
        longjmp(trap.jump, 1);
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        // Bottom-up: the first scanline (the top) goes to the last row.
        JSAMPROW row = rows + (size_t)(height - 1 - (int)cinfo.output_scanline) * stride;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    out.width = width;
    out.height = height;
    out.stride = stride;
    out.rows.assign(rows, rows + (size_t)stride * height);
    std::free(rows);
    return true;
}

bool JpegEncode(const uint8_t* topDownRows, int width, int height, uint32_t stride, int quality,
                std::vector<uint8_t>& out, std::string& error) {
    if (topDownRows == nullptr || width <= 0 || height <= 0 || width > 65500 || height > 65500 ||
        stride < (uint32_t)width * 3) {
        error = "no picture to write";
        return false;
    }
    jpeg_compress_struct cinfo;
    ErrorTrap trap;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = jpeg_std_error(&trap.mgr);
    trap.mgr.error_exit = OnError;
    trap.message[0] = 0;
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    if (setjmp(trap.jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        error = trap.message[0] ? trap.message : "JPEG encoding failed";
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &length);
    cinfo.image_width = (JDIMENSION)width;
    cinfo.image_height = (JDIMENSION)height;
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    // 2x2 luminance sampling against 1x1 chroma: chroma is halved both ways.
    cinfo.comp_info[0].h_samp_factor = 2;
    cinfo.comp_info[0].v_samp_factor = 2;
    cinfo.comp_info[1].h_samp_factor = cinfo.comp_info[1].v_samp_factor = 1;
    cinfo.comp_info[2].h_samp_factor = cinfo.comp_info[2].v_samp_factor = 1;
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(topDownRows) + (size_t)cinfo.next_scanline * stride;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    out.assign(buffer, buffer + length);
    std::free(buffer);
    return true;
}
