// Reaching into the program: memory in its process, and the resources of its exe.
#pragma once

#include <windows.h>

#include <string>

#include "screen.h"

namespace e2e {

// Memory inside the program's process, for messages whose structures must live there
// (tooltip, tree-view and rich-edit queries).
struct RemoteBuffer {
    RemoteBuffer(HANDLE process, size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    void Write(const void* data, size_t size, size_t offset = 0) const;
    void Read(void* data, size_t size, size_t offset = 0) const;
    LPARAM Address(size_t offset = 0) const { return reinterpret_cast<LPARAM>(static_cast<char*>(base) + offset); }

    HANDLE process;
    void* base;
};

// The program's own resources, read from its exe as a data file.
struct VeltraResources {
    VeltraResources();
    ~VeltraResources();
    VeltraResources(const VeltraResources&) = delete;
    VeltraResources& operator=(const VeltraResources&) = delete;

    // Bitmap resource `name` as a top-down image (a failure when there is none).
    Screen Bitmap(const char* name) const;
    std::string Raw(const char* name, const char* type) const;

    HMODULE module;
};

}  // namespace e2e
