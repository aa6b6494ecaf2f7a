// File names beyond the ANSI code page. The program reads folders with the ANSI directory search,
// which hands back such a name with "?" for what the code page lacks, or quietly with a look-alike
// ("best fit": ō read as o); either way the name it gives cannot be opened. A name the code page
// holds is listed as it is; any other is listed by its 8.3 short name, which opens.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "hostile_support.h"

using namespace e2e;

namespace {

struct NamedPicture {
    const wchar_t* name;
    const char* dataName;  // test data copied under that name; null for the BMP below
    COLORREF centre;       // the preview's centre pixel once the picture is shown
};

// Red, a blue-to-yellow gradient, green, magenta: each picture shows which one is on screen.
const NamedPicture kPictures[] = {
    {L"\u65E5\u672C\u306E\u5199\u771F.jpg", "red640x480.jpg", RGB(255, 0, 0)},  // 日本の写真.jpg
    {L"caf\u00E9.jpg", "Beach.jpg", RGB(0x88, 0x98, 0xA8)},                     // café.jpg
    {L"T\u014Dky\u014D.tif", "green400x240.tif", RGB(0, 255, 0)},               // Tōkyō.tif
    {L"\u0141\u00F3d\u017A.bmp", nullptr, RGB(255, 0, 255)},                    // Łódź.bmp
};

std::string ToCodePage(const std::wstring& wide, bool* lossless) {
    char narrow[MAX_PATH * 2] = {};
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, narrow, sizeof(narrow), nullptr, &usedDefault);
    *lossless = !usedDefault;
    return narrow;
}

// The name the program should list for a file: its own, when the code page holds it, else its
// short name.
std::string ExpectedListing(const std::wstring& path, const std::wstring& name) {
    bool lossless = false;
    const std::string plain = ToCodePage(name, &lossless);
    if (lossless) return plain;
    wchar_t shortPath[MAX_PATH * 2] = {};
    if (GetShortPathNameW(path.c_str(), shortPath, MAX_PATH * 2) == 0) return "(no short name)";
    const std::wstring shortName = wcsrchr(shortPath, L'\\') + 1;
    return ToCodePage(shortName, &lossless);
}

}  // namespace

TEST(CodePageNames, EachPictureIsListedByANameThatOpensAndShows) {
    FixtureFolder folder;
    const std::wstring folderPath = Widen(folder.path) + L"\\";
    for (const NamedPicture& picture : kPictures) {
        const std::wstring path = folderPath + picture.name;
        bool copied;
        if (picture.dataName != nullptr) {
            copied = CopyFileW(Widen(DataFile(picture.dataName)).c_str(), path.c_str(), FALSE) != 0;
        } else {
            const std::string bmp = SolidBmp(64, 48, RGB(255, 0, 255));
            HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
            DWORD written = 0;
            copied = file != INVALID_HANDLE_VALUE &&
                     WriteFile(file, bmp.data(), static_cast<DWORD>(bmp.size()), &written, nullptr);
            if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        }
        // Under a Unix locale that is not UTF-8, Wine cannot store these names at all.
        ASSERT_TRUE(copied) << "cannot create a file with a non-ASCII name (error " << GetLastError()
                            << "); the runner must run Wine under a UTF-8 locale";
    }

    Veltra veltra(folder.path);
    ASSERT_NE(veltra.main, nullptr);
    veltra.MovePointerAway();
    std::vector<std::string> listed = veltra.ListNames();
    int byShortName = 0;
    for (const NamedPicture& picture : kPictures) {
        const std::string expected = ExpectedListing(folderPath + picture.name, picture.name);
        bool lossless = false;
        ToCodePage(picture.name, &lossless);
        byShortName += !lossless;
        SCOPED_TRACE("code page " + std::to_string(GetACP()) + ", expecting \"" + expected + "\"");
        ASSERT_EQ(std::count(listed.begin(), listed.end(), expected), 1)
            << "not listed; the list holds " << ::testing::PrintToString(listed);
        veltra.Choose(expected);
        ASSERT_TRUE(PaintedAndAnswering(veltra, veltra.main));
        // The middle of the 320 x 240 preview box.
        COLORREF centre = CLR_INVALID;
        EXPECT_TRUE(WaitUntil([&] {
            return ColourNear(centre = CaptureClient(veltra).At(195, 176), picture.centre, 16);
        })) << "the preview's centre shows "
            << Describe(centre) << ", not " << Describe(picture.centre);
    }
    EXPECT_EQ(listed.size(), std::size(kPictures));
    // Whatever the code page, some of these names lie outside it, so the short names were tried.
    EXPECT_GT(byShortName, 0);
}
