// The recorded comment beside a picture, played through MCI in the background.
#include "catalogue/catalogue.h"
#include "app/state.h"
#include "catalogue/wide_sound_file.h"

MCIERROR PlayCompanionSound(HWND window, const WCHAR* path) {
    // Stops and releases the previous companion; fails harmlessly when there is none.
    mciSendCommandW(SoundDeviceId, MCI_CLOSE, 0, 0);
    MCI_OPEN_PARMSW open = {};
    open.lpstrDeviceType = L"waveaudio";
    open.lpstrElementName = WideSoundElement(path);
    MCIERROR error = mciSendCommandW(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&open));
    if (error != 0) return error;
    SoundDeviceId = open.wDeviceID;
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(window);
    error = mciSendCommandW(SoundDeviceId, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
    if (error != 0) mciSendCommandW(SoundDeviceId, MCI_CLOSE, 0, 0);
    return error;
}
