// How much of the help document to hand over per request of the rich edit control. Win32-free.
#pragma once

#include <cstdint>

// Bytes to deliver for a request of `requested` bytes when `position` of `size` bytes are already
// delivered: the request in full while it stays inside the document, otherwise what is left
// (0 at the end, which ends the stream). Never more than what lies past `position`.
uint32_t HelpChunkSize(uint32_t size, uint32_t position, uint32_t requested);
