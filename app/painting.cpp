// MainWindow's face: the four skin bitmaps, the black display area and the preview.
// Every GDI+ object lives for one paint only; nothing drawn is cached between paints.
#include <memory>

#include "app/fit_picture.h"
#include "app/main_window.h"
#include "app/painting.h"
#include "app/state.h"

namespace {

struct SkinPiece {
    const wchar_t* name;
    int x;
    int y;
};

const SkinPiece kSkin[] = {
    {L"SKTOP", 0, 0},
    {L"SKLFT", 0, 54},
    {L"SKRGT", 357, 54},
    {L"SKBOT", 0, 298},
};

void DrawSkin(Gdiplus::Graphics& graphics) {
    for (const SkinPiece& piece : kSkin) {
        std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromResource(Instance, piece.name));
        if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok) graphics.DrawImage(bitmap.get(), piece.x, piece.y);
    }
}

}  // namespace

void DrawCurrentPicture(Gdiplus::Graphics& graphics, int boxLeft, int boxTop, int boxWidth, int boxHeight) {
    if (CurrentPicture == nullptr) return;
    const FittedRect fit = FitPicture(CurrentPictureWidth, CurrentPictureHeight, boxWidth, boxHeight);
    // CurrentPicture was decoded at the size fitted to this box, so this draws it 1:1. A picture
    // that failed to load is an empty image: GDI+ refuses to draw it, which is the intended
    // "nothing shown".
    graphics.DrawImage(CurrentPicture, boxLeft + fit.x, boxTop + fit.y, fit.width, fit.height);
}

void PaintMainWindow(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    {
        Gdiplus::Graphics graphics(dc);
        DrawSkin(graphics);
        HGDIOBJ previous = SelectObject(dc, BlackBrush);
        FillRect(dc, &DisplayArea, BlackBrush);
        SelectObject(dc, previous);
        DrawCurrentPicture(graphics, kPreviewLeft, kPreviewTop, kPreviewWidth, kPreviewHeight);
    }
    EndPaint(window, &paint);
}
