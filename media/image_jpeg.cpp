// JPEG reading over libjpeg's documented interface, from a memory source.
// libjpeg's standard error handler ends the process; ours jumps back to the
// reader instead, so corrupt or truncated data only fails the load.  The
// function that calls setjmp keeps only plain locals; every C++ object lives
// in its caller, so the jump never skips a destructor.
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include "media/image.h"

namespace {

struct JpegErrorHandler {
    jpeg_error_mgr manager;   // first, so the library's pointer is ours too
    std::jmp_buf jump;
};

void jpeg_fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrorHandler*>(info->err)->jump, 1);
}

void jpeg_stay_silent(j_common_ptr) {}

void source_nothing(j_decompress_ptr) {}

// The whole file is in the buffer from the start: asking for more means the
// data ended early.
boolean source_fill(j_decompress_ptr info)
{
    ERREXIT(info, JERR_INPUT_EOF);
    return FALSE;
}

void source_skip(j_decompress_ptr info, long count)
{
    if (count <= 0) return;
    jpeg_source_mgr* source = info->src;
    if (static_cast<unsigned long>(count) > source->bytes_in_buffer) ERREXIT(info, JERR_INPUT_EOF);
    source->next_input_byte += count;
    source->bytes_in_buffer -= count;
}

struct JpegLayout {
    JDIMENSION width;
    JDIMENSION height;
    int components;
};

bool read_jpeg_layout(jpeg_decompress_struct* info, JpegErrorHandler* errors, JpegLayout* layout)
{
    if (setjmp(errors->jump)) return false;
    jpeg_read_header(info, TRUE);
    if (!image_size_allowed(info->image_width, info->image_height)) return false;
    info->do_fancy_upsampling = FALSE;
    jpeg_start_decompress(info);
    layout->width = info->output_width;
    layout->height = info->output_height;
    layout->components = info->output_components;
    return true;
}

bool read_jpeg_lines(jpeg_decompress_struct* info, JpegErrorHandler* errors, unsigned char* out,
                     std::size_t row_bytes)
{
    if (setjmp(errors->jump)) return false;
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out + std::size_t(info->output_scanline) * row_bytes;
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    return true;
}

void convert_jpeg_samples(DecodedImage& image, const std::vector<unsigned char>& samples,
                          int components)
{
    const std::size_t count = std::size_t(image.width) * image.height;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char* in = samples.data() + i * components;
        uint8_t* out = image.pixels.data() + i * 4;
        if (components == 1) {
            out[0] = out[1] = out[2] = in[0];
        } else {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
        }
        out[3] = components == 4 ? in[3] : 255;
    }
}

bool decode_jpeg(DecodedImage& image, jpeg_decompress_struct* info, JpegErrorHandler* errors)
{
    JpegLayout layout = {};
    if (!read_jpeg_layout(info, errors, &layout)) return false;
    if (layout.components != 1 && layout.components != 3 && layout.components != 4) return false;
    if (!allocate_image(image, layout.width, layout.height)) return false;
    const std::size_t row_bytes = std::size_t(layout.width) * layout.components;
    std::vector<unsigned char> samples(row_bytes * layout.height);
    if (!read_jpeg_lines(info, errors, samples.data(), row_bytes)) return false;
    convert_jpeg_samples(image, samples, layout.components);
    return true;
}

}   // namespace

bool read_jpeg(DecodedImage& image, const unsigned char* data, std::size_t size)
{
    image = DecodedImage();
    // Every JPEG starts with the start-of-image marker.
    if (!data || size < 3 || data[0] != 0xff || data[1] != 0xd8) return false;
    jpeg_decompress_struct info = {};
    JpegErrorHandler errors = {};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jpeg_fail;
    errors.manager.output_message = jpeg_stay_silent;
    jpeg_create_decompress(&info);
    jpeg_source_mgr source = {};
    source.next_input_byte = data;
    source.bytes_in_buffer = size;
    source.init_source = source_nothing;
    source.fill_input_buffer = source_fill;
    source.skip_input_data = source_skip;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = source_nothing;
    info.src = &source;
    const bool decoded = decode_jpeg(image, &info, &errors);
    jpeg_destroy_decompress(&info);
    if (!decoded) image = DecodedImage();
    return decoded;
}
