// Geometry of the colour-bar test screen. Win32-free.
#pragma once

constexpr int kTestBarCount = 7;
constexpr int kGreyStripRows = 50;

struct BarSpan {
    int left;
    int width;
};

// Bar `index` (0..6): each ScreenWidth / 7 wide; the last also takes the remainder so the bars
// always reach the right edge.
BarSpan TestBarSpan(int screenWidth, int index);

// First row of the grey-scale strip along the bottom edge.
int GreyStripTop(int screenHeight);
