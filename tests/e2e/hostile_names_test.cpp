// File names in any script, beyond what any one ANSI code page holds: each is listed under its
// own name and opens when chosen.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "hostile_support.h"

using namespace e2e;

namespace {

struct NamedPicture {
    const char* name;      // UTF-8
    const char* dataName;  // test data copied under that name; null for a BMP of `centre`
    COLORREF centre;       // the preview's centre pixel once the picture is shown
};

// Each picture shows which one is on screen.
const NamedPicture kPictures[] = {
    {"\u65E5\u672C\u306E\u5199\u771F.jpg", "red640x480.jpg", RGB(255, 0, 0)},         // 日本の写真.jpg
    {"caf\u00E9.jpg", "Beach.jpg", RGB(0x88, 0x98, 0xA8)},                            // café.jpg
    {"T\u014Dky\u014D.tif", "green400x240.tif", RGB(0, 255, 0)},                      // Tōkyō.tif
    {"\u0141\u00F3d\u017A noc\u0105.bmp", nullptr, RGB(255, 0, 255)},                 // Łódź nocą.bmp
    {"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1.bmp", nullptr, RGB(0, 128, 255)},          // Ελλάδα.bmp
    {"\u041C\u043E\u0441\u043A\u0432\u0430.tif", "blue320x300.tif", RGB(0, 0, 255)},  // Москва.tif
    {"\U0001F4F7 \U0001F30A.bmp", nullptr, RGB(255, 160, 0)},                         // 📷 🌊.bmp
};

}  // namespace

TEST(NamesInAnyScript, EachPictureIsListedUnderItsOwnNameAndShows) {
    FixtureFolder folder;
    for (const NamedPicture& picture : kPictures) {
        if (picture.dataName != nullptr) {
            folder.CopyData(picture.dataName, picture.name);
        } else {
            folder.Write(picture.name, SolidBmp(64, 48, picture.centre));
        }
    }
    ASSERT_FALSE(::testing::Test::HasFailure()) << "the runner must run Wine under a UTF-8 locale";

    Veltra veltra(folder.path);
    ASSERT_NE(veltra.main, nullptr);
    veltra.MovePointerAway();
    const std::vector<std::string> listed = veltra.ListNames();
    EXPECT_EQ(listed.size(), std::size(kPictures)) << ::testing::PrintToString(listed);
    for (const NamedPicture& picture : kPictures) {
        SCOPED_TRACE(picture.name);
        ASSERT_EQ(std::count(listed.begin(), listed.end(), picture.name), 1)
            << "not listed; the list holds " << ::testing::PrintToString(listed);
        veltra.Choose(picture.name);
        ASSERT_TRUE(PaintedAndAnswering(veltra, veltra.main));
        // The middle of the 320 x 240 preview box.
        COLORREF centre = CLR_INVALID;
        EXPECT_TRUE(WaitUntil([&] {
            return ColourNear(centre = CaptureClient(veltra).At(195, 176), picture.centre, 16);
        })) << "the preview's centre shows "
            << Describe(centre) << ", not " << Describe(picture.centre);
    }
}
