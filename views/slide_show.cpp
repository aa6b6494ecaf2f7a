// The slide show: every picture of the list in turn, 8 s each, counted from the end of its load.
#include "app/state.h"
#include "catalogue/catalogue.h"
#include "views/stepping.h"
#include "views/views.h"

namespace {

// The program's only timer. It is stopped for the length of each step, so ticks cannot pile up
// behind a slow load and a slide always stays the full interval.
constexpr UINT_PTR SlideTimerId = 300;
constexpr UINT kSlideInterval = 8000;

void DecodeNextSlideAhead() { DecodeEntriesAhead(SlideShowAheadEntries(PictureCount(), PictureSelection()).first, -1); }

void StartShow(HWND dialog) {
    EndViewOnRightDoubleClickToo(true);
    CoverScreen(dialog);
    FitPicturesToView(dialog);
    ShowCursor(FALSE);
    const int index = PictureSelection();
    ShowEntryFullScreen(dialog, index == LB_ERR ? 0 : index);
    SetTimer(dialog, SlideTimerId, kSlideInterval, nullptr);
    DecodeAheadOncePainted(DecodeNextSlideAhead);
}

void Advance(HWND dialog) {
    KillTimer(dialog, SlideTimerId);
    ShowEntryFullScreen(dialog, NextEntry(PictureCount(), PictureSelection()));
    SetTimer(dialog, SlideTimerId, kSlideInterval, nullptr);
    DecodeAheadOncePainted(DecodeNextSlideAhead);
}

// Everything is undone before returning, so no tick can arrive after the end.
void EndShow(HWND dialog) {
    KillTimer(dialog, SlideTimerId);
    ShowCursor(TRUE);
    EndViewOnRightDoubleClickToo(false);
    EndDialog(dialog, 1);
}

INT_PTR OnKeyUp(HWND dialog, WPARAM key) {
    if (key == VK_ESCAPE) EndShow(dialog);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK SlideShowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: StartShow(dialog); return TRUE;
        case WM_CTLCOLORDLG: return reinterpret_cast<INT_PTR>(BlackBrush);
        case WM_PAINT: PaintFullScreenPicture(dialog); return TRUE;
        case WM_TIMER: Advance(dialog); return TRUE;
        case WM_LBUTTONDBLCLK: Advance(dialog); return TRUE;
        case WM_RBUTTONDBLCLK: EndShow(dialog); return TRUE;
        case WM_KEYUP: return OnKeyUp(dialog, wParam);
        case MM_MCINOTIFY: CloseFinishedCompanionSound(wParam, lParam); return TRUE;
        case WM_DESTROY: PassCompanionSoundTo(MainWindow); return FALSE;  // the dialog manager cleans up too
    }
    return FALSE;
}
