// Reaching into the program's process and its exe: memory for cross-process messages, and the
// resources the tests compare the screen with.
#include <gtest/gtest.h>

#include "harness.h"

namespace e2e {

RemoteBuffer::RemoteBuffer(HANDLE target, size_t size)
    : process(target), base(VirtualAllocEx(target, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {
    EXPECT_NE(base, nullptr) << "VirtualAllocEx failed: " << GetLastError();
}

RemoteBuffer::~RemoteBuffer() {
    if (base != nullptr) VirtualFreeEx(process, base, 0, MEM_RELEASE);
}

void RemoteBuffer::Write(const void* data, size_t size, size_t offset) const {
    SIZE_T written = 0;
    EXPECT_TRUE(WriteProcessMemory(process, static_cast<char*>(base) + offset, data, size, &written));
}

void RemoteBuffer::Read(void* data, size_t size, size_t offset) const {
    SIZE_T read = 0;
    EXPECT_TRUE(ReadProcessMemory(process, static_cast<char*>(base) + offset, data, size, &read));
}

VeltraResources::VeltraResources() : module(LoadLibraryExA(VeltraExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
    EXPECT_NE(module, nullptr) << "cannot open veltra.exe's resources";
}

VeltraResources::~VeltraResources() {
    if (module != nullptr) FreeLibrary(module);
}

Screen VeltraResources::Bitmap(const char* name) const {
    Screen image;
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    BITMAP header = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof(header), &header) == 0) {
        ADD_FAILURE() << "no bitmap resource " << name;
        return image;
    }
    image.width = header.bmWidth;
    image.height = header.bmHeight;
    image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
    BITMAPINFO info = TopDown32BitInfo(image.width, image.height);
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(GetDIBits(screen, bitmap, 0, image.height, image.pixels.data(), &info, DIB_RGB_COLORS), image.height);
    ReleaseDC(nullptr, screen);
    DeleteObject(bitmap);
    for (uint32_t& p : image.pixels) p &= 0x00FFFFFF;
    return image;
}

std::string VeltraResources::Raw(const char* name, const char* type) const {
    HRSRC found = FindResourceA(module, name, type);
    if (found == nullptr) return std::string();
    HGLOBAL loaded = LoadResource(module, found);
    const char* bytes = static_cast<const char*>(LockResource(loaded));
    return bytes != nullptr ? std::string(bytes, SizeofResource(module, found)) : std::string();
}

}  // namespace e2e
