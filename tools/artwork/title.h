// The program's name lettered into the top band of the window face.
#pragma once

#include "artwork.h"

// Everything the title paints lies in this box (inclusive), on plain plate.
constexpr int kTitleLeft = 18, kTitleTop = 17, kTitleRight = 104, kTitleBottom = 33;

void PaintTitle(Image* face);
