#include "pictures/picture_source.h"

#include <cstring>

namespace {

size_t ReadMemory(void* context, uint8_t* buffer, size_t size) {
    MemoryFile* file = static_cast<MemoryFile*>(context);
    const size_t left = file->size - file->position;
    const size_t count = size < left ? size : left;
    if (count > 0) std::memcpy(buffer, file->data + file->position, count);
    file->position += count;
    return count;
}

bool SeekMemory(void* context, uint64_t offset) {
    MemoryFile* file = static_cast<MemoryFile*>(context);
    if (offset > file->size) return false;
    file->position = static_cast<size_t>(offset);
    return true;
}

}  // namespace

bool ReadExactly(const PictureSource& source, uint8_t* buffer, size_t size) {
    while (size > 0) {
        const size_t count = source.read(source.context, buffer, size);
        if (count == 0 || count > size) return false;
        buffer += count;
        size -= count;
    }
    return true;
}

bool ReadAt(const PictureSource& source, uint64_t offset, uint8_t* buffer, size_t size) {
    return source.seek(source.context, offset) && ReadExactly(source, buffer, size);
}

PictureSource MemorySource(MemoryFile* file) {
    if (file->data == nullptr) file->size = 0;
    file->position = 0;
    return PictureSource{ReadMemory, SeekMemory, file, file->size};
}
