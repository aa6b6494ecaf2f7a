#include "views/bar_geometry.h"

BarSpan TestBarSpan(int screenWidth, int index) {
    const int barWidth = screenWidth / kTestBarCount;
    const int left = index * barWidth;
    const int width = index == kTestBarCount - 1 ? screenWidth - left : barWidth;
    return BarSpan{left, width};
}

int GreyStripTop(int screenHeight) { return screenHeight - kGreyStripRows; }
