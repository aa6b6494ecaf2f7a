// Shrinking a picture to the size a view draws it at, by area averaging: every target pixel is
// the mean of the source area it covers, partial source pixels weighted by how much of them it
// covers. Rows arrive one at a time from the top, so a decoder can stream a picture through it
// without ever holding the source whole. Win32-free, so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "pictures/decoded_picture.h"

struct AreaFilter {
    int32_t sourceWidth = 0;
    int32_t sourceHeight = 0;
    int32_t nextSourceRow = 0;
    int32_t nextTargetRow = 0;
    // Lengths in the smallest whole units that both sizes divide into: a source column is unitX
    // long, but for the last one, lastUnitX, which may cover only part of a pixel, and a target
    // column spanX (the source's columns together are targetWidth x spanX long); rows the same.
    uint32_t unitX = 0;
    uint32_t lastUnitX = 0;
    uint32_t spanX = 0;
    uint32_t unitY = 0;
    uint32_t lastUnitY = 0;
    uint32_t spanY = 0;
    // Per target column: the first source column that starts in it (and sourceWidth after the
    // last); the weight there of the last one that starts in it, and the rest of that one's weight,
    // which goes to the next target column. The source columns before that last one lie wholly
    // inside the target column and weigh unitX each, so a row's pixels are summed there plainly.
    std::vector<int32_t> columnStart;
    std::vector<uint32_t> lastWeight;
    std::vector<uint32_t> lastRest;
    // One source row's horizontal sums, B, G, R per target column.
    std::vector<uint32_t> rowSums;
    // The target row being gathered: horizontal sums times their vertical weights, at most
    // 255 x area.
    std::vector<uint64_t> pending;
    // Each target pixel's total weight, spanX x spanY, and its 32-bit reciprocal while sums fit
    // in 32 bits (0 otherwise: they are then divided the slow way).
    uint64_t area = 0;
    uint64_t reciprocal = 0;
    DecodedPicture* out = nullptr;
};

// Prepares `filter` to shrink a sourceWidth x sourceHeight picture to `out`, sized targetWidth x
// targetHeight. The target may not be larger than the source either way. False (nothing
// allocated) for sizes it cannot take.
bool StartAreaFilter(int32_t sourceWidth, int32_t sourceHeight, int32_t targetWidth, int32_t targetHeight,
                     AreaFilter* filter, DecodedPicture* out);

// The same for the rows of a picture that a JPEG decoder scaled to scale / 8 of its pictureWidth x
// pictureHeight (scale 1 to 8): each side is rounded up to whole pixels, so the last column and
// row hold only the part of a pixel the picture really covers (450 rows at 5/8 are 282 rows for
// 281.25 rows of picture), and weigh only that much. The target may not be larger than the
// scaled picture.
bool StartScaledAreaFilter(int64_t pictureWidth, int64_t pictureHeight, int scale, int32_t targetWidth,
                           int32_t targetHeight, AreaFilter* filter, DecodedPicture* out);

// Takes the next source row: `pixels` holds sourceWidth pixels of `bytesPerPixel` bytes each in
// the order B, G, R (anything after that is ignored). Target rows are written as they complete;
// the last source row completes the picture. Extra rows are ignored.
void FilterRow(AreaFilter* filter, const uint8_t* pixels, int bytesPerPixel);

// Takes `count` source rows that are black throughout, without a pass over their pixels.
void FilterBlackRows(AreaFilter* filter, int32_t count);

// True when every source row has been taken.
bool AreaFilterDone(const AreaFilter& filter);

// The M of a JPEG decoder's M/8 scaling: the smallest that decodes a width x height picture to at
// least twice targetWidth x targetHeight, or whole (8) where it is less than twice that size. A
// DCT scaled to just above the target loses detail (fine text, highlights that bloom at 1/8)
// that the area filter keeps when it has two or more pixels to average for each one.
int ChooseDctScale(int64_t width, int64_t height, int32_t targetWidth, int32_t targetHeight);

// The box a picture is fitted to. A picture stored turned a quarter (`sideways`: its upright width
// and height are the stored ones swapped) is fitted by its upright size, and its fitted size is
// given as stored. Fitting the stored size to the box turned would be another size wherever
// FitPicture's two ratios tie.
struct FitBox {
    int32_t width;
    int32_t height;
    bool sideways;
};

// The size a width x height picture, as stored, is drawn at in `box`: FitPicture's, never less
// than 1 x 1, so that a sliver still has a picture to carry its real size.
void FittedSize(int32_t width, int32_t height, const FitBox& box, int32_t* fittedWidth, int32_t* fittedHeight);

// Shrinks a whole decoded picture to fit the box, in place.
bool FitDecodedPicture(const FitBox& box, DecodedPicture* picture);
