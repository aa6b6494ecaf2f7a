// Full-screen colour bars with a grey-scale strip, for judging a monitor.
#include "app/state.h"
#include "views/bar_geometry.h"
#include "views/views.h"

namespace {

const Gdiplus::ARGB kBarColours[kTestBarCount] = {
    0xFFFFFFFF, 0xFFFFFF00, 0xFF00FFFF, 0xFF00FF00, 0xFFFF00FF, 0xFFFF0000, 0xFF0000FF,
};

// Every repaint draws the whole picture with objects made for it alone, so covering and
// uncovering the screen any number of times leaves nothing behind.
void PaintTestScreen(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    RECT client;
    GetClientRect(dialog, &client);
    const int width = client.right;
    const int height = client.bottom;
    {
        Gdiplus::Graphics graphics(dc);
        Gdiplus::SolidBrush bar(Gdiplus::Color(0xFF000000));
        for (int i = 0; i < kTestBarCount; ++i) {
            const BarSpan span = TestBarSpan(width, i);
            bar.SetColor(Gdiplus::Color(kBarColours[i]));
            graphics.FillRectangle(&bar, span.left, 0, span.width, height);
        }
        Gdiplus::LinearGradientBrush strip(Gdiplus::Point(0, 10), Gdiplus::Point(width, 10), Gdiplus::Color(0xFF000000),
                                           Gdiplus::Color(0xFFFFFFFF));
        graphics.FillRectangle(&strip, 0, GreyStripTop(height), width, kGreyStripRows);
    }
    EndPaint(dialog, &paint);
}

}  // namespace

INT_PTR CALLBACK TestScreenProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: CoverScreen(dialog); return TRUE;
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(BlackBrush);
        case WM_PAINT: PaintTestScreen(dialog); return TRUE;
        case WM_LBUTTONDBLCLK: EndDialog(dialog, 1); return TRUE;
    }
    return FALSE;
}
