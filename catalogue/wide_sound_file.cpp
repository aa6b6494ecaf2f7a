#include "catalogue/wide_sound_file.h"

#include <mmsystem.h>

namespace {

// "VLW" is the extension before the "+" of the element name that selects the procedure.
const FOURCC kWideFileProcedure = mmioFOURCC('V', 'L', 'W', ' ');
const WCHAR kElementName[] = L"companion.VLW+";

WCHAR PathToOpen[MAX_PATH];

// The file handle lives in the I/O information's first word: handles of a Windows process fit
// in 32 bits on 64-bit systems too.
HANDLE FileOf(const MMIOINFO* info) { return ULongToHandle(info->adwInfo[0]); }

LRESULT OpenWideFile(MMIOINFO* info) {
    HANDLE file =
        CreateFileW(PathToOpen, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return MMIOERR_CANNOTOPEN;
    info->adwInfo[0] = HandleToULong(file);
    info->lDiskOffset = 0;
    return MMSYSERR_NOERROR;
}

LRESULT ReadFrom(MMIOINFO* info, char* buffer, LONG count) {
    DWORD read = 0;
    if (count < 0 || !ReadFile(FileOf(info), buffer, static_cast<DWORD>(count), &read, nullptr)) return -1;
    info->lDiskOffset += static_cast<LONG>(read);
    return static_cast<LRESULT>(read);
}

LRESULT SeekIn(MMIOINFO* info, LONG offset, int origin) {
    const DWORD method = origin == SEEK_CUR ? FILE_CURRENT : origin == SEEK_END ? FILE_END : FILE_BEGIN;
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!SetFilePointerEx(FileOf(info), distance, &position, method) || position.QuadPart > MAXLONG) return -1;
    info->lDiskOffset = static_cast<LONG>(position.QuadPart);
    return info->lDiskOffset;
}

LRESULT CALLBACK WideFileProcedure(LPSTR information, UINT message, LPARAM first, LPARAM second) {
    MMIOINFO* info = reinterpret_cast<MMIOINFO*>(information);
    switch (message) {
        case MMIOM_OPEN: return OpenWideFile(info);
        case MMIOM_CLOSE: CloseHandle(FileOf(info)); return 0;
        case MMIOM_READ: return ReadFrom(info, reinterpret_cast<char*>(first), static_cast<LONG>(second));
        case MMIOM_SEEK: return SeekIn(info, static_cast<LONG>(first), static_cast<int>(second));
        case MMIOM_WRITE:
        case MMIOM_WRITEFLUSH: return -1;
    }
    return 0;
}

}  // namespace

const WCHAR* WideSoundElement(const WCHAR* path) {
    static bool installed = false;
    // Global, so that a wave driver running apart from the program's own task finds it too.
    if (!installed) {
        installed =
            mmioInstallIOProcW(kWideFileProcedure, WideFileProcedure, MMIO_INSTALLPROC | MMIO_GLOBALPROC) != nullptr;
    }
    lstrcpynW(PathToOpen, path, MAX_PATH);
    return kElementName;
}
