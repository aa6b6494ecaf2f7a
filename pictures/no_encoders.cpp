// The program reads pictures and never writes one, but libtiff's JPEG and Deflate codecs can do
// both and so name the compression functions of libjpeg-turbo and zlib. These stand in for them in
// the exe, so that neither encoder (some 150 KB) is linked into it. libtiff calls them only for a
// file opened for writing, which the program never does; should one be called all the same, it
// fails as the library fails on an error. Linked only into the exe: everything else links the
// libraries whole.
#include <cstddef>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>
#include <zlib.h>

namespace {

void Refuse(j_compress_ptr compress) {
    compress->err->msg_code = JERR_NOT_COMPILED;
    compress->err->error_exit(reinterpret_cast<j_common_ptr>(compress));
}

}  // namespace

void jpeg_CreateCompress(j_compress_ptr compress, int, size_t) { Refuse(compress); }
void jpeg_set_defaults(j_compress_ptr compress) { Refuse(compress); }
void jpeg_set_colorspace(j_compress_ptr compress, J_COLOR_SPACE) { Refuse(compress); }
void jpeg_set_quality(j_compress_ptr compress, int, boolean) { Refuse(compress); }
void jpeg_suppress_tables(j_compress_ptr compress, boolean) { Refuse(compress); }
void jpeg_start_compress(j_compress_ptr compress, boolean) { Refuse(compress); }
void jpeg_finish_compress(j_compress_ptr compress) { Refuse(compress); }
void jpeg_write_tables(j_compress_ptr compress) { Refuse(compress); }

JDIMENSION jpeg_write_scanlines(j_compress_ptr compress, JSAMPARRAY, JDIMENSION) {
    Refuse(compress);
    return 0;
}

JDIMENSION jpeg_write_raw_data(j_compress_ptr compress, JSAMPIMAGE, JDIMENSION) {
    Refuse(compress);
    return 0;
}

int deflateInit_(z_streamp, int, const char*, int) { return Z_STREAM_ERROR; }
int deflate(z_streamp, int) { return Z_STREAM_ERROR; }
int deflateEnd(z_streamp) { return Z_STREAM_ERROR; }
int deflateParams(z_streamp, int, int) { return Z_STREAM_ERROR; }
int deflateReset(z_streamp) { return Z_STREAM_ERROR; }
