// JPEG reading over libjpeg's documented interface, from a memory source.
// libjpeg's standard error handler ends the process; ours jumps back to the
// reader instead, so corrupt or truncated data only fails the load.  The
// function that calls setjmp keeps only plain locals; every C++ object lives
// in its caller, so the jump never skips a destructor.
//
// A file to read is untrusted.  libjpeg's warnings fail the load like its
// errors do: they tell of corrupt data, of data cut short (which libjpeg
// would pad with grey even when the file still ends with its end marker) or
// of a broken progression.  A header that claims more pixels than the file
// could describe is refused before anything is decoded, as are arithmetic
// coding (whose decoder pads data cut short without a warning), more scans
// than any encoder writes, and a progressive picture whose scans stop before
// every coefficient is complete.  Rows are decoded one at a time straight
// into the picture.
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

#include "media/image.h"

namespace {

// An encoder spends at least a bit on every 8 x 8 block of the first
// component it sends, so even a flat grey picture has far fewer pixels than
// this per byte of file.
constexpr unsigned long long MAX_PIXELS_PER_BYTE = 1024;
// Each scan is another pass over the blocks it covers; encoders write a
// dozen or so.
constexpr int MAX_SCANS = 500;
// libjpeg's tables and its few rows of blocks (up to three rows of 8 x 8
// blocks at the largest sampling, per component, per column).
constexpr unsigned long long JPEG_ROW_WORKING_BYTES = 3ull * 4 * 8 * 2;
constexpr unsigned long long JPEG_FIXED_WORKING_BYTES = 256ull * 1024;

struct JpegErrorHandler {
    jpeg_error_mgr manager;   // first, so the library's pointer is ours too
    std::jmp_buf jump;
};

void jpeg_fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<JpegErrorHandler*>(info->err)->jump, 1);
}

// Level -1 is a warning; the others are trace messages, which stay quiet.
void jpeg_warning_fails(j_common_ptr info, int level)
{
    if (level < 0) jpeg_fail(info);
}

void jpeg_stay_silent(j_common_ptr) {}

// libjpeg calls this while it reads, at least once per row of blocks.
void jpeg_limit_scans(j_common_ptr info)
{
    if (info->is_decompressor &&
        reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > MAX_SCANS)
        jpeg_fail(info);
}

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

// The memory libjpeg needs besides the picture: the coefficients of the
// whole image when the file has several scans, a few rows of blocks, our
// row of samples and its tables.
unsigned long long jpeg_working_bytes(jpeg_decompress_struct* info)
{
    unsigned long long coefficients = 0;
    if (jpeg_has_multiple_scans(info)) {
        for (int c = 0; c < info->num_components; ++c) {
            const jpeg_component_info& component = info->comp_info[c];
            coefficients += (component.width_in_blocks + 4ull) *
                            (component.height_in_blocks + 4ull) * sizeof(JBLOCK);
        }
    }
    const unsigned long long rows = static_cast<unsigned long long>(info->image_width) *
                                    info->num_components * (JPEG_ROW_WORKING_BYTES + 1);
    return coefficients + rows + JPEG_FIXED_WORKING_BYTES;
}

// Whether the file could describe the picture its header claims, and the
// decode fits the cap.  Also tells libjpeg the memory it may use.
bool jpeg_header_believable(jpeg_decompress_struct* info, std::size_t file_size)
{
    const unsigned long long pixels =
        static_cast<unsigned long long>(info->image_width) * info->image_height;
    const unsigned long long working = jpeg_working_bytes(info);
    if (info->arith_code || pixels > file_size * MAX_PIXELS_PER_BYTE ||
        !image_decode_fits(info->image_width, info->image_height, working))
        return false;
    info->mem->max_memory_to_use = static_cast<long>(working);
    return true;
}

// After a progressive file is read: every coefficient of every component
// has come, down to its last bit.
bool progression_complete(const jpeg_decompress_struct* info)
{
    if (!info->progressive_mode) return true;
    for (int c = 0; c < info->num_components; ++c)
        for (int k = 0; k < DCTSIZE2; ++k)
            if (info->coef_bits[c][k] != 0) return false;
    return true;
}

struct JpegLayout {
    JDIMENSION width;
    JDIMENSION height;
    int components;
};

// Reads the header and starts the decompressor (which reads the whole file
// when it has several scans).
bool read_jpeg_layout(jpeg_decompress_struct* info, JpegErrorHandler* errors, std::size_t size,
                      JpegLayout* layout)
{
    if (setjmp(errors->jump)) return false;
    jpeg_read_header(info, TRUE);
    if (!jpeg_header_believable(info, size)) return false;
    info->do_fancy_upsampling = FALSE;
    jpeg_start_decompress(info);
    layout->width = info->output_width;
    layout->height = info->output_height;
    layout->components = info->output_components;
    return progression_complete(info);
}

void convert_jpeg_row(const unsigned char* in, uint8_t* out, JDIMENSION width, int components)
{
    for (JDIMENSION x = 0; x < width; ++x, in += components, out += 4) {
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

// Decodes every row through row (one row of samples) into the picture, then
// reads on to the end marker.
bool read_jpeg_lines(jpeg_decompress_struct* info, JpegErrorHandler* errors, DecodedImage* image,
                     unsigned char* row)
{
    if (setjmp(errors->jump)) return false;
    while (info->output_scanline < info->output_height) {
        uint8_t* out = image->pixels.data() + std::size_t(info->output_scanline) * image->width * 4;
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(info, rows, 1) != 1) return false;
        convert_jpeg_row(row, out, info->output_width, info->output_components);
    }
    jpeg_finish_decompress(info);
    return true;
}

bool decode_jpeg(DecodedImage& image, jpeg_decompress_struct* info, JpegErrorHandler* errors,
                 std::size_t size)
{
    JpegLayout layout = {};
    if (!read_jpeg_layout(info, errors, size, &layout)) return false;
    if (layout.components != 1 && layout.components != 3 && layout.components != 4) return false;
    if (!allocate_image(image, layout.width, layout.height)) return false;
    std::vector<unsigned char> row(std::size_t(layout.width) * layout.components);
    return read_jpeg_lines(info, errors, &image, row.data());
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
    errors.manager.emit_message = jpeg_warning_fails;
    errors.manager.output_message = jpeg_stay_silent;
    jpeg_create_decompress(&info);
    jpeg_progress_mgr progress = {};
    progress.progress_monitor = jpeg_limit_scans;
    info.progress = &progress;
    jpeg_source_mgr source = {};
    source.next_input_byte = data;
    source.bytes_in_buffer = size;
    source.init_source = source_nothing;
    source.fill_input_buffer = source_fill;
    source.skip_input_data = source_skip;
    source.resync_to_restart = jpeg_resync_to_restart;
    source.term_source = source_nothing;
    info.src = &source;
    const bool decoded = decode_jpeg(image, &info, &errors, size);
    jpeg_destroy_decompress(&info);
    if (!decoded) image = DecodedImage();
    return decoded;
}
