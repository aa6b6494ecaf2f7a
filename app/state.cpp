#include "app/state.h"

#include "app/layout.h"

HINSTANCE Instance = nullptr;
HWND MainWindow = nullptr;
HWND PictureList = nullptr;
WCHAR NameBuffer[kNameBufferSize] = {};
Gdiplus::Image* CurrentPicture = nullptr;
int32_t CurrentPictureWidth = 0;
int32_t CurrentPictureHeight = 0;
WCHAR HomeFolder[kNameBufferSize] = {};
UINT SoundDeviceId = 0;
HBRUSH BlackBrush = nullptr;
HFONT BoldFont = nullptr;
int ScreenWidth = 0;
int ScreenHeight = 0;
const RECT DisplayArea = {kDisplayLeft, kDisplayTop, kDisplayRight, kDisplayBottom};
