#include "hostile_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

namespace e2e {

namespace {

std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "(unreadable)";
    std::string bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    CloseHandle(file);
    return bytes;
}

// Visits every entry under `folder` (which ends in a backslash), each sub-folder after what it holds.
void Walk(const std::wstring& folder, const std::function<void(const std::wstring&, const WIN32_FIND_DATAW&)>& visit) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Walk(folder + name + L"\\", visit);
        visit(folder + name, found);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

std::string Narrow(const std::wstring& wide) {
    std::string text(wide.size() * 3 + 1, '\0');
    text.resize(
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &text[0], static_cast<int>(text.size()), nullptr, nullptr) -
        1);
    return text;
}

}  // namespace

FolderSnapshot FolderSnapshot::Take(const std::string& folder) {
    FolderSnapshot snapshot;
    const std::wstring root = Widen(folder) + L"\\";
    Walk(root, [&](const std::wstring& entry, const WIN32_FIND_DATAW& found) {
        const ULONGLONG size = static_cast<ULONGLONG>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
        const bool read = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && size <= kMaxSnapshotBytes;
        snapshot.entries.push_back({entry.substr(root.size()), found.dwFileAttributes, found.ftLastWriteTime, size,
                                    read ? ReadAll(entry) : std::string()});
    });
    std::sort(snapshot.entries.begin(), snapshot.entries.end(),
              [](const Entry& a, const Entry& b) { return a.path < b.path; });
    return snapshot;
}

std::string FolderSnapshot::Differences(const FolderSnapshot& before, const FolderSnapshot& after) {
    std::ostringstream out;
    int reported = 0;
    auto report = [&](const std::wstring& path, const char* what) {
        if (reported++ < 8) out << Narrow(path) << ": " << what << "; ";
    };
    size_t b = 0, a = 0;
    while (b < before.entries.size() || a < after.entries.size()) {
        if (a == after.entries.size() ||
            (b < before.entries.size() && before.entries[b].path < after.entries[a].path)) {
            report(before.entries[b++].path, "gone");
        } else if (b == before.entries.size() || after.entries[a].path < before.entries[b].path) {
            report(after.entries[a++].path, "new");
        } else {
            const Entry& was = before.entries[b++];
            const Entry& is = after.entries[a++];
            if (was.attributes != is.attributes) report(is.path, "attributes changed");
            if (CompareFileTime(&was.written, &is.written) != 0) report(is.path, "written to");
            if (was.size != is.size) {
                report(is.path, "size changed");
            } else if (was.bytes != is.bytes) {
                report(is.path, "contents changed");
            }
        }
    }
    if (reported > 8) out << "and " << reported - 8 << " more";
    return out.str();
}

bool PaintedAndAnswering(const Veltra& veltra, HWND window) {
    // Painting comes after every other message, so without this wait a quick run of steps would
    // replace each picture before it was ever drawn. The update region empties when the paint
    // begins; the message sent next is answered only once it has ended.
    const DWORD start = GetTickCount();
    while (GetUpdateRect(window, nullptr, FALSE)) {
        if (GetTickCount() - start > 15000) {
            ADD_FAILURE() << "the window was not repainted within 15 s";
            return false;
        }
        Sleep(1);
    }
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutA(veltra.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored)) {
        ADD_FAILURE() << "MainWindow did not answer within a second";
        return false;
    }
    return true;
}

long StepViewTo(const Veltra& veltra, HWND view, int target) {
    const DWORD start = GetTickCount();
    if (!PostMessageA(view, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(500, 400))) {
        ADD_FAILURE() << "the view is gone";
        return -1;
    }
    for (;;) {
        DWORD_PTR selection = static_cast<DWORD_PTR>(LB_ERR);
        if (!SendMessageTimeoutA(veltra.list, LB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, 15000, &selection)) {
            ADD_FAILURE() << "the program did not answer for 15 s"
                          << (veltra.Running() ? ""
                                               : ": it has ended, exit code " + std::to_string(veltra.WaitForExit(0)));
            return -1;
        }
        if (static_cast<int>(selection) == target) break;
        if (GetTickCount() - start > 15000) {
            ADD_FAILURE() << "the step to entry " << target << " did not happen; the selection is "
                          << static_cast<int>(selection);
            return -1;
        }
        Sleep(1);
    }
    const long milliseconds = static_cast<long>(GetTickCount() - start);
    return PaintedAndAnswering(veltra, view) ? milliseconds : -1;
}

}  // namespace e2e
