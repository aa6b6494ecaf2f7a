#include "pictures/jpeg_decoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "pictures/area_filter.h"
#include "pictures/colour_models.h"
#include "pictures/colour_profile.h"

namespace {

constexpr size_t kInputChunk = 64 * 1024;

struct ErrorTrap {
    jpeg_error_mgr manager;  // first, so libjpeg's pointer to it is a pointer to the trap
    jmp_buf jump;
    bool dataRanOut;  // the entropy decoder needed bits that the data did not have
};

struct StreamInput {
    jpeg_source_mgr manager;  // first, for the same reason
    JpegSource source;
    JOCTET buffer[kInputChunk];
};

// Everything a decode shares with libjpeg, all plain data: the functions that call libjpeg hold
// nothing a longjmp out of it would have to destroy.
struct JpegSession {
    jpeg_decompress_struct decoder;
    ErrorTrap error;
    StreamInput input;
    bool created;
};

[[noreturn]] void JumpBack(j_common_ptr common) { std::longjmp(reinterpret_cast<ErrorTrap*>(common->err)->jump, 1); }

// Warnings (damaged data the decoder goes on through) are not worth printing.
void SayNothing(j_common_ptr) {}

void NoteWarning(j_common_ptr common, int level) {
    if (level < 0 && common->err->msg_code == JWRN_HIT_MARKER) {
        reinterpret_cast<ErrorTrap*>(common->err)->dataRanOut = true;
    }
}

void StartInput(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr decoder) {
    StreamInput* input = reinterpret_cast<StreamInput*>(decoder->src);
    size_t count = input->source.read(input->source.context, input->buffer, kInputChunk);
    if (count == 0) {
        // libjpeg goes on as if the end-of-image marker were there.
        WARNMS(decoder, JWRN_JPEG_EOF);
        input->buffer[0] = 0xFF;
        input->buffer[1] = JPEG_EOI;
        count = 2;
    }
    input->manager.next_input_byte = input->buffer;
    input->manager.bytes_in_buffer = count;
    return TRUE;
}

void SkipInput(j_decompress_ptr decoder, long count) {
    jpeg_source_mgr* input = decoder->src;
    if (count <= 0) return;
    while (static_cast<size_t>(count) > input->bytes_in_buffer) {
        count -= static_cast<long>(input->bytes_in_buffer);
        FillInput(decoder);
    }
    input->next_input_byte += count;
    input->bytes_in_buffer -= static_cast<size_t>(count);
}

void EndInput(j_decompress_ptr) {}

// libjpeg can deliver every colour model but CMYK as B, G, R, x rows; CMYK comes as it is.
bool IsCmyk(const jpeg_decompress_struct& decoder) {
    return decoder.jpeg_color_space == JCS_CMYK || decoder.jpeg_color_space == JCS_YCCK;
}

// First half, up to the scaled size. `targetWidth` and `targetHeight` are set before it returns.
bool ReadHeader(JpegSession* session, const FitBox& box, int32_t* targetWidth, int32_t* targetHeight) {
    jpeg_decompress_struct& decoder = session->decoder;
    decoder.err = jpeg_std_error(&session->error.manager);
    session->error.manager.error_exit = JumpBack;
    session->error.manager.output_message = SayNothing;
    session->error.manager.emit_message = NoteWarning;
    if (setjmp(session->error.jump)) return false;
    jpeg_create_decompress(&decoder);
    session->created = true;
    decoder.mem->max_memory_to_use = kMaxJpegWorkingMemory;
    session->input.manager.init_source = StartInput;
    session->input.manager.fill_input_buffer = FillInput;
    session->input.manager.skip_input_data = SkipInput;
    session->input.manager.resync_to_restart = jpeg_resync_to_restart;
    session->input.manager.term_source = EndInput;
    session->input.manager.bytes_in_buffer = 0;
    session->input.manager.next_input_byte = nullptr;
    decoder.src = &session->input.manager;
    jpeg_save_markers(&decoder, JPEG_APP0 + 2, 0xFFFF);
    if (jpeg_read_header(&decoder, TRUE) != JPEG_HEADER_OK) return false;
    FittedSize(static_cast<int32_t>(decoder.image_width), static_cast<int32_t>(decoder.image_height), box, targetWidth,
               targetHeight);
    decoder.scale_num =
        static_cast<unsigned>(ChooseDctScale(decoder.image_width, decoder.image_height, *targetWidth, *targetHeight));
    decoder.scale_denom = 8;
    decoder.out_color_space = IsCmyk(decoder) ? JCS_CMYK : JCS_EXT_BGRX;
    decoder.dct_method = JDCT_ISLOW;
    // Chroma upsampled by repetition rather than interpolation is cheaper, and the area filter
    // averages the difference away.
    decoder.do_fancy_upsampling = FALSE;
    jpeg_calc_output_dimensions(&decoder);
    return true;
}

// Adobe's applications write CMYK inverted (255 is no ink), and so does nearly every CMYK JPEG.
void CmykToBgrx(const jpeg_decompress_struct& decoder, uint8_t* row) {
    const uint8_t flip = decoder.saw_Adobe_marker ? 0 : 255;
    for (JDIMENSION column = 0; column < decoder.output_width; ++column) {
        uint8_t* pixel = row + column * 4;
        const Rgb8 rgb = InvertedCmykToRgb(pixel[0] ^ flip, pixel[1] ^ flip, pixel[2] ^ flip, pixel[3] ^ flip, 255);
        pixel[0] = rgb.blue;
        pixel[1] = rgb.green;
        pixel[2] = rgb.red;
    }
}

// Second half: every scanline through the filter. Picture data that runs out (a file cut short, or
// a marker where data should be) is a failure, as with the other decoders, never part of a
// picture; a missing end-of-image marker, or a progressive file that ends between two scans, is
// forgiven.
bool ReadRows(JpegSession* session, const ColourTransform* cmykTransform, AreaFilter* filter, uint8_t* row) {
    jpeg_decompress_struct& decoder = session->decoder;
    if (setjmp(session->error.jump)) return false;
    jpeg_start_decompress(&decoder);
    const bool cmyk = decoder.out_color_space == JCS_CMYK;
    JSAMPROW rows[1] = {row};
    while (decoder.output_scanline < decoder.output_height) {
        if (jpeg_read_scanlines(&decoder, rows, 1) != 1) return false;
        // Stopping at once spares decoding the rest of a huge picture whose data is gone.
        if (session->error.dataRanOut) return false;
        if (cmykTransform != nullptr) {
            TransformPixels(*cmykTransform, row, decoder.output_width);
        } else if (cmyk) {
            CmykToBgrx(decoder, row);
        }
        FilterRow(filter, row, 4);
    }
    jpeg_finish_decompress(&decoder);
    return AreaFilterDone(*filter);
}

// The profile the APP2 segments carry, kept only where it describes the colours libjpeg delivers.
std::vector<uint8_t> EmbeddedProfile(const jpeg_decompress_struct& decoder) {
    std::vector<MarkerPayload> segments;
    for (jpeg_saved_marker_ptr marker = decoder.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker == JPEG_APP0 + 2) segments.push_back(MarkerPayload{marker->data, marker->data_length});
    }
    std::vector<uint8_t> profile;
    if (!AssembleJpegProfile(segments.data(), segments.size(), &profile)) return profile;
    ProfileSpace wanted = ProfileSpace::Rgb;
    if (IsCmyk(decoder)) wanted = ProfileSpace::Cmyk;
    if (decoder.jpeg_color_space == JCS_GRAYSCALE) wanted = ProfileSpace::Grey;
    if (ProfileSpaceOf(profile) != wanted) profile.clear();
    return profile;
}

size_t ReadFromMemory(void* context, uint8_t* buffer, size_t size) {
    auto* bytes = static_cast<std::pair<const uint8_t*, size_t>*>(context);
    const size_t count = size < bytes->second ? size : bytes->second;
    if (count > 0) std::memcpy(buffer, bytes->first, count);
    bytes->first += count;
    bytes->second -= count;
    return count;
}

}  // namespace

bool DecodeJpegToFit(JpegSource source, const FitBox& box, DecodedPicture* out, int32_t* pictureWidth,
                     int32_t* pictureHeight, const DisplayProfile* display) {
    std::unique_ptr<JpegSession> session(new (std::nothrow) JpegSession);
    if (!session) return false;
    std::memset(session.get(), 0, sizeof(JpegSession));
    session->input.source = source;
    int32_t targetWidth = 0;
    int32_t targetHeight = 0;
    bool decoded = ReadHeader(session.get(), box, &targetWidth, &targetHeight);
    AreaFilter filter;
    std::vector<uint8_t> row;
    std::shared_ptr<const ColourTransform> cmykTransform;
    if (decoded) {
        const jpeg_decompress_struct& decoder = session->decoder;
        // The scale leaves at least the target's size of picture, so the filter only ever shrinks.
        try {
            row.resize(static_cast<size_t>(decoder.output_width) * 4);
            decoded =
                StartScaledAreaFilter(decoder.image_width, decoder.image_height, static_cast<int>(decoder.scale_num),
                                      targetWidth, targetHeight, &filter, out);
            out->profile = EmbeddedProfile(decoder);
            // CMYK has to be RGB before the filter, which averages three channels.
            if (IsCmyk(decoder)) {
                cmykTransform = CmykTransformFor(
                    out->profile, decoder.saw_Adobe_marker ? StoredPixels::InvertedCmyk : StoredPixels::Cmyk, display);
                out->profile.clear();
            }
        } catch (const std::bad_alloc&) {
            decoded = false;
        }
        *pictureWidth = static_cast<int32_t>(decoder.image_width);
        *pictureHeight = static_cast<int32_t>(decoder.image_height);
    }
    decoded = decoded && ReadRows(session.get(), cmykTransform.get(), &filter, row.data());
    if (session->created) jpeg_destroy_decompress(&session->decoder);
    return decoded;
}

bool DecodeJpegBytesToFit(const uint8_t* data, size_t size, const FitBox& box, DecodedPicture* out,
                          int32_t* pictureWidth, int32_t* pictureHeight, const DisplayProfile* display) {
    std::pair<const uint8_t*, size_t> bytes(data, size);
    return DecodeJpegToFit(JpegSource{ReadFromMemory, &bytes}, box, out, pictureWidth, pictureHeight, display);
}
