// MainWindow's face: the four skin bitmaps, the black display area and the preview.
// Every GDI+ object lives for one paint only; nothing drawn is cached between paints.
#include <cstring>
#include <memory>
#include <string>

#include "app/fit_picture.h"
#include "app/layout.h"
#include "app/main_window.h"
#include "app/painting.h"
#include "app/state.h"

namespace {

void DrawSkin(Gdiplus::Graphics& graphics) {
    for (const SkinPiece& piece : kSkinPieces) {
        // GDI+ wants the resource name in UTF-16; the names are plain ASCII.
        const std::wstring name(piece.name, piece.name + std::strlen(piece.name));
        std::unique_ptr<Gdiplus::Bitmap> bitmap(Gdiplus::Bitmap::FromResource(Instance, name.c_str()));
        if (bitmap && bitmap->GetLastStatus() == Gdiplus::Ok) graphics.DrawImage(bitmap.get(), piece.left, piece.top);
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
