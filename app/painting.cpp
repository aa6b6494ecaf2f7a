// MainWindow's face: the four skin bitmaps, the black display area and the preview.
// Every GDI+ object lives for one paint only; nothing drawn is cached between paints.
#include <cstring>
#include <memory>
#include <string>

#include "app/layout.h"
#include "app/main_window.h"
#include "app/state.h"
#include "catalogue/catalogue.h"

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
