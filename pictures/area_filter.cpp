#include "pictures/area_filter.h"

#include <new>
#include <utility>

#include "pictures/fit_picture.h"

namespace {

uint64_t GreatestCommonDivisor(uint64_t a, uint64_t b) {
    while (b != 0) {
        const uint64_t rest = a % b;
        a = b;
        b = rest;
    }
    return a;
}

// sum / area rounded half up. With a reciprocal the estimate is the quotient or one less, and one
// comparison settles it: no division in the loop over every pixel.
uint8_t Average(const AreaFilter& filter, uint64_t sum) {
    const uint64_t rounded = sum + filter.area / 2;
    if (filter.reciprocal == 0) return static_cast<uint8_t>(rounded / filter.area);
    uint32_t quotient = static_cast<uint32_t>((rounded * filter.reciprocal) >> 32);
    if (rounded - static_cast<uint64_t>(quotient) * filter.area >= filter.area) ++quotient;
    return static_cast<uint8_t>(quotient);
}

void EmitTargetRow(AreaFilter* filter) {
    DecodedPicture* out = filter->out;
    uint8_t* row = out->bgra.data() + static_cast<size_t>(filter->nextTargetRow) * out->width * 4;
    for (int32_t column = 0; column < out->width; ++column) {
        for (int channel = 0; channel < 3; ++channel) {
            uint64_t& sum = filter->pending[static_cast<size_t>(column) * 3 + channel];
            row[column * 4 + channel] = Average(*filter, sum);
            sum = 0;
        }
    }
    ++filter->nextTargetRow;
}

void AddRowSums(AreaFilter* filter, uint32_t weight) {
    const size_t count = filter->pending.size();
    uint64_t* pending = filter->pending.data();
    const uint32_t* sums = filter->rowSums.data();
    for (size_t index = 0; index < count; ++index) pending[index] += static_cast<uint64_t>(sums[index]) * weight;
}

// The same split down the picture for the source row whose horizontal sums are in rowSums, all
// zero when it is `black`: source row r starts at r x unitY.
void TakeRowSums(AreaFilter* filter, bool black) {
    const uint64_t start = static_cast<uint64_t>(filter->nextSourceRow) * filter->unitY;
    const bool last = filter->nextSourceRow + 1 == filter->sourceHeight;
    const uint64_t end = start + (last ? filter->lastUnitY : filter->unitY);
    const uint64_t boundary = static_cast<uint64_t>(filter->nextTargetRow + 1) * filter->spanY;
    ++filter->nextSourceRow;
    if (end < boundary) {
        if (!black) AddRowSums(filter, static_cast<uint32_t>(end - start));
        return;
    }
    if (!black) AddRowSums(filter, static_cast<uint32_t>(boundary - start));
    EmitTargetRow(filter);
    // A target row is at least as tall as a source row, so the remainder never completes one.
    if (end > boundary && !black) AddRowSums(filter, static_cast<uint32_t>(end - boundary));
}

// One source row's horizontal sums into rowSums: pixels are `stride` bytes apart.
void SumColumns(AreaFilter* filter, const uint8_t* pixels, size_t stride) {
    const int32_t* start = filter->columnStart.data();
    uint32_t* sums = filter->rowSums.data();
    const size_t targetWidth = filter->lastWeight.size();
    uint32_t carried[3] = {0, 0, 0};
    for (size_t column = 0; column < targetWidth; ++column) {
        const uint8_t* pixel = pixels + static_cast<size_t>(start[column]) * stride;
        const uint8_t* last = pixels + static_cast<size_t>(start[column + 1] - 1) * stride;
        uint32_t inside[3] = {0, 0, 0};
        for (; pixel < last; pixel += stride) {
            for (int channel = 0; channel < 3; ++channel) inside[channel] += pixel[channel];
        }
        const uint32_t weight = filter->lastWeight[column];
        const uint32_t rest = filter->lastRest[column];
        for (int channel = 0; channel < 3; ++channel) {
            sums[column * 3 + channel] = inside[channel] * filter->unitX + last[channel] * weight + carried[channel];
            carried[channel] = last[channel] * rest;
        }
    }
}

// One direction's lengths in whole units (see AreaFilter). Measured in 1 / (8 x target) of a source
// pixel, a source pixel is 8 x target long and the picture's real extent, `eighths` eighths of a
// source pixel, is eighths x target, so each of the target's pixels is `eighths` long. All three
// divided by their common divisor; the last source pixel is what the extent leaves of it.
void SplitSide(int32_t source, uint64_t eighths, int32_t target, uint32_t* unit, uint32_t* lastUnit, uint32_t* span) {
    const uint64_t full = 8 * static_cast<uint64_t>(target);
    const uint64_t common = GreatestCommonDivisor(full, eighths);
    *unit = static_cast<uint32_t>(full / common);
    *span = static_cast<uint32_t>(eighths / common);
    *lastUnit =
        static_cast<uint32_t>(static_cast<uint64_t>(target) * *span - static_cast<uint64_t>(source - 1) * *unit);
}

}  // namespace

bool StartScaledAreaFilter(int64_t pictureWidth, int64_t pictureHeight, int scale, int32_t targetWidth,
                           int32_t targetHeight, AreaFilter* filter, DecodedPicture* out) {
    if (scale < 1 || scale > 8 || pictureWidth <= 0 || pictureHeight <= 0 || pictureWidth > 65535 ||
        pictureHeight > 65535) {
        return false;
    }
    // The real extent in eighths of a scaled pixel, and the whole pixels that hold it.
    const uint64_t eighthsX = static_cast<uint64_t>(pictureWidth) * scale;
    const uint64_t eighthsY = static_cast<uint64_t>(pictureHeight) * scale;
    const int32_t sourceWidth = static_cast<int32_t>((eighthsX + 7) / 8);
    const int32_t sourceHeight = static_cast<int32_t>((eighthsY + 7) / 8);
    if (targetWidth <= 0 || targetHeight <= 0 || 8 * static_cast<uint64_t>(targetWidth) > eighthsX ||
        8 * static_cast<uint64_t>(targetHeight) > eighthsY) {
        return false;
    }
    try {
        if (!StartPicture(targetWidth, targetHeight, out)) return false;
        filter->columnStart.resize(static_cast<size_t>(targetWidth) + 1);
        filter->lastWeight.resize(static_cast<size_t>(targetWidth));
        filter->lastRest.resize(static_cast<size_t>(targetWidth));
        filter->rowSums.assign(static_cast<size_t>(targetWidth) * 3, 0);
        filter->pending.assign(static_cast<size_t>(targetWidth) * 3, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    SplitSide(sourceWidth, eighthsX, targetWidth, &filter->unitX, &filter->lastUnitX, &filter->spanX);
    SplitSide(sourceHeight, eighthsY, targetHeight, &filter->unitY, &filter->lastUnitY, &filter->spanY);
    // Source column s starts at s x unitX, target column t covers [t x spanX, (t + 1) x spanX). A
    // target column is at least as wide as a source column, so every one has a source column
    // starting in it, and a source column reaches into the next target column at most.
    for (int32_t column = 0; column < sourceWidth; ++column) {
        const uint64_t start = static_cast<uint64_t>(column) * filter->unitX;
        const uint32_t length = column + 1 < sourceWidth ? filter->unitX : filter->lastUnitX;
        const uint64_t first = start / filter->spanX;
        const uint64_t firstStart = first * filter->spanX;
        const uint64_t firstEnd = firstStart + filter->spanX;
        const size_t target = static_cast<size_t>(first);
        if (column == 0 || start - filter->unitX < firstStart) filter->columnStart[target] = column;
        filter->lastWeight[target] = static_cast<uint32_t>(firstEnd - start < length ? firstEnd - start : length);
        filter->lastRest[target] = length - filter->lastWeight[target];
    }
    filter->columnStart[static_cast<size_t>(targetWidth)] = sourceWidth;
    filter->sourceWidth = sourceWidth;
    filter->sourceHeight = sourceHeight;
    filter->nextSourceRow = 0;
    filter->nextTargetRow = 0;
    filter->area = static_cast<uint64_t>(filter->spanX) * filter->spanY;
    const bool sumsFit = 256 * filter->area <= 0xFFFFFFFFull;
    filter->reciprocal = sumsFit && filter->area > 1 ? (1ull << 32) / filter->area : 0;
    filter->out = out;
    return true;
}

bool StartAreaFilter(int32_t sourceWidth, int32_t sourceHeight, int32_t targetWidth, int32_t targetHeight,
                     AreaFilter* filter, DecodedPicture* out) {
    return StartScaledAreaFilter(sourceWidth, sourceHeight, 8, targetWidth, targetHeight, filter, out);
}

void FilterRow(AreaFilter* filter, const uint8_t* pixels, int bytesPerPixel) {
    if (AreaFilterDone(*filter)) return;
    SumColumns(filter, pixels, static_cast<size_t>(bytesPerPixel));
    TakeRowSums(filter, false);
}

void FilterBlackRows(AreaFilter* filter, int32_t count) {
    for (int32_t row = 0; row < count && !AreaFilterDone(*filter); ++row) TakeRowSums(filter, true);
}

bool AreaFilterDone(const AreaFilter& filter) {
    return filter.out != nullptr && filter.nextSourceRow >= filter.sourceHeight;
}

int ChooseDctScale(int64_t width, int64_t height, int32_t targetWidth, int32_t targetHeight) {
    // Twice the target, in eighths of the picture's pixels: the scaled picture's real extent,
    // not libjpeg's size rounded up, is what the filter has to average.
    const int64_t wantedX = 16 * static_cast<int64_t>(targetWidth);
    const int64_t wantedY = 16 * static_cast<int64_t>(targetHeight);
    for (int scale = 1; scale < 8; ++scale) {
        if (width * scale >= wantedX && height * scale >= wantedY) return scale;
    }
    return 8;
}

void FittedSize(int32_t width, int32_t height, const FitBox& box, int32_t* fittedWidth, int32_t* fittedHeight) {
    FittedRect fit = FitPicture(box.sideways ? height : width, box.sideways ? width : height, box.width, box.height);
    if (box.sideways) std::swap(fit.width, fit.height);
    *fittedWidth = fit.width > 0 ? fit.width : 1;
    *fittedHeight = fit.height > 0 ? fit.height : 1;
}

bool FitDecodedPicture(const FitBox& box, DecodedPicture* picture) {
    int32_t width = 0;
    int32_t height = 0;
    FittedSize(picture->width, picture->height, box, &width, &height);
    if (width == picture->width && height == picture->height) return true;
    AreaFilter filter;
    DecodedPicture fitted;
    if (!StartAreaFilter(picture->width, picture->height, width, height, &filter, &fitted)) return false;
    const size_t rowBytes = static_cast<size_t>(picture->width) * 4;
    for (int32_t row = 0; row < picture->height; ++row) FilterRow(&filter, picture->bgra.data() + row * rowBytes, 4);
    fitted.profile = std::move(picture->profile);
    *picture = std::move(fitted);
    return true;
}
