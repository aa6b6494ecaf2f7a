// The recorded comment beside a picture, played through MCI in the background.
#include <vector>

#include "app/state.h"
#include "catalogue/catalogue.h"
#include "catalogue/picture_names.h"
#include "catalogue/wave_header.h"
#include "catalogue/wide_sound_file.h"
#include "pictures/file_reading.h"

namespace {

// The system's wave player ends the process on some malformed headers, so it only ever gets
// files whose header has been checked here first.
bool WavePlayable(const WCHAR* path) {
    std::vector<uint8_t> head;
    uint64_t fileSize = 0;
    return ReadFileStart(path, kWaveHeadBytes, Overlong::ReadTheStart, &head, &fileSize) &&
           CheckWaveHeader(head.data(), head.size(), fileSize) == WaveVerdict::Playable;
}

// The wave driver reports a sound's end from its own playback thread, which is still running
// inside the driver for a moment after the notice. Closing the last wave device at that notice
// unloads the driver under that thread and ends the process. A reference of the program's own
// keeps the driver loaded for the program's life.
bool WaveDriverPinned = false;

void PinWaveDriver() {
    if (!WaveDriverPinned) WaveDriverPinned = LoadLibraryW(L"mciwave.dll") != nullptr;
}

// Closes the previous companion sound and plays `path` asynchronously. Returns the MCI error;
// a file whose header is not vouched for is refused before anything is closed.
MCIERROR PlayCompanionSound(HWND window, const WCHAR* path) {
    // A refused file counts as no companion at all: whatever plays already goes on.
    if (!WavePlayable(path)) return MCIERR_INVALID_FILE;
    PinWaveDriver();
    // Stops and releases the previous companion; fails harmlessly when there is none.
    mciSendCommandW(SoundDeviceId, MCI_CLOSE, 0, 0);
    // A notice still queued spoke of the device just closed; the next device may well get the same
    // id, and must not be closed by it.
    MSG stale;
    while (PeekMessageW(&stale, nullptr, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE)) {
    }
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

}  // namespace

void PlayCompanionOf(HWND window) {
    if (!MakeCompanionName(NameBuffer, kNameBufferSize)) return;
    // Without a companion, a sound still playing from an earlier picture goes on.
    if (GetFileAttributesW(NameBuffer) != INVALID_FILE_ATTRIBUTES) PlayCompanionSound(window, NameBuffer);
}

void CloseFinishedCompanionSound(WPARAM flags, LPARAM device) {
    // An aborted or superseded play was ended by a newer command, which owns the device now.
    if (flags != MCI_NOTIFY_SUCCESSFUL && flags != MCI_NOTIFY_FAILURE) return;
    if (SoundDeviceId == 0 || static_cast<UINT>(device) != SoundDeviceId) return;
    mciSendCommandW(SoundDeviceId, MCI_CLOSE, 0, 0);
    SoundDeviceId = 0;
}

void PassCompanionSoundTo(HWND window) {
    if (SoundDeviceId == 0) return;
    MCI_STATUS_PARMS status = {};
    status.dwItem = MCI_STATUS_MODE;
    const bool playing =
        mciSendCommandW(SoundDeviceId, MCI_STATUS, MCI_STATUS_ITEM, reinterpret_cast<DWORD_PTR>(&status)) == 0 &&
        status.dwReturn == MCI_MODE_PLAY;
    if (!playing) {
        // Over already, its notice perhaps still queued for the window that is going.
        mciSendCommandW(SoundDeviceId, MCI_CLOSE, 0, 0);
        SoundDeviceId = 0;
        return;
    }
    // Playing again without a starting point goes on from where the sound is, and the notice of
    // its end now goes to `window`.
    MCI_PLAY_PARMS play = {};
    play.dwCallback = reinterpret_cast<DWORD_PTR>(window);
    mciSendCommandW(SoundDeviceId, MCI_PLAY, MCI_NOTIFY, reinterpret_cast<DWORD_PTR>(&play));
}
