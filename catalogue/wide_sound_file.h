// The companion sound's file opened through the wide file functions on MCI's behalf.
#pragma once

#include <windows.h>

// The element name under which MCI's wave driver reads `path` through the program's own
// multimedia I/O procedure. The driver hands every file name through the ANSI code page (Wine's
// mmioOpenW converts it), so a name in another script would never open; the procedure opens the
// path kept here with the wide functions instead. The path is kept until the next call.
const WCHAR* WideSoundElement(const WCHAR* path);
