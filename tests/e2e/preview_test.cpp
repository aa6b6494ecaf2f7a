// The preview of a chosen picture, read off the screen: where and how large each picture is
// drawn, and what a missing, undecodable or degenerate picture does to the display area.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "harness.h"

using namespace e2e;

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// One colour per quadrant of a test picture (top-left, top-right, bottom-left, bottom-right), so
// that a flipped or mirrored draw shows.
constexpr COLORREF kQuadrants[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};

std::string QuadrantBmp(int width, int height) {
    return MakeBmp(width, height, [=](int x, int y) { return kQuadrants[(x >= width / 2) + 2 * (y >= height / 2)]; });
}

// What is wrong in a capture, one line per fault; nothing when all is right.
using Check = std::function<std::vector<std::string>(const ClientShot&)>;

// Pixels of `rect` that are not `colour`, as faults.
void FaultsOtherThan(const ClientShot& shot, const RECT& rect, COLORREF colour, int tolerance, const char* what,
                     std::vector<std::string>* faults) {
    const int others = shot.CountOtherThan(rect, colour, tolerance);
    if (others != 0) faults->push_back(std::to_string(others) + " pixels " + what + " are not " + Describe(colour));
}

// Waits until the screen passes `check`, and reports its faults if it never does.
ClientShot ExpectSoon(const Veltra& veltra, const Check& check) {
    ClientShot shot;
    std::vector<std::string> faults;
    WaitUntil([&] {
        shot = CaptureClient(veltra);
        faults = check(shot);
        return faults.empty();
    });
    for (const std::string& fault : faults) ADD_FAILURE() << fault;
    return shot;
}

// A quadrant picture drawn into `drawn`: each quadrant's colour at its outer corner and in its
// middle, black just outside every edge and all around in the display area. Every picture is
// decoded at the size it is drawn at and drawn 1:1, so the edges are read exactly.
Check QuadrantsIn(const RECT& drawn) {
    return [=](const ClientShot& shot) {
        std::vector<std::string> faults;
        const int left = drawn.left, top = drawn.top, right = drawn.right - 1, bottom = drawn.bottom - 1;
        const int midX = (drawn.left + drawn.right) / 2, midY = (drawn.top + drawn.bottom) / 2;
        const POINT inside[4][2] = {
            {{left, top}, {(left + midX) / 2, (top + midY) / 2}},
            {{right, top}, {(midX + right) / 2, (top + midY) / 2}},
            {{left, bottom}, {(left + midX) / 2, (midY + bottom) / 2}},
            {{right, bottom}, {(midX + right) / 2, (midY + bottom) / 2}},
        };
        for (int q = 0; q < 4; ++q) {
            for (const POINT& p : inside[q]) {
                if (!ColourNear(shot.At(p.x, p.y), kQuadrants[q])) {
                    faults.push_back("quadrant " + std::to_string(q) + ": " +
                                     DescribePixel(p.x, p.y, shot.At(p.x, p.y)));
                }
            }
        }
        const POINT outside[] = {{drawn.left - 1, top}, {drawn.left - 1, bottom}, {drawn.right, top},
                                 {drawn.right, bottom}, {left, drawn.top - 1},    {right, drawn.top - 1},
                                 {left, drawn.bottom},  {right, drawn.bottom}};
        for (const POINT& p : outside) {
            if (shot.At(p.x, p.y) != kBlack)
                faults.push_back("just outside: " + DescribePixel(p.x, p.y, shot.At(p.x, p.y)));
        }
        const RECT around[] = {{kDisplayArea.left, kDisplayArea.top, kDisplayArea.right, drawn.top},
                               {kDisplayArea.left, drawn.bottom, kDisplayArea.right, kDisplayArea.bottom},
                               {kDisplayArea.left, drawn.top, drawn.left, drawn.bottom},
                               {drawn.right, drawn.top, kDisplayArea.right, drawn.bottom}};
        for (const RECT& band : around) FaultsOtherThan(shot, band, kBlack, 0, "around the picture", &faults);
        return faults;
    };
}

Check BlackDisplayArea() {
    return [](const ClientShot& shot) {
        std::vector<std::string> faults;
        FaultsOtherThan(shot, kDisplayArea, kBlack, 0, "of the display area", &faults);
        return faults;
    };
}

bool DisplayAreaChangesWithin(const Veltra& veltra, const ClientShot& before, int milliseconds) {
    return WaitUntil(
        [&] {
            const ClientShot now = CaptureClient(veltra);
            for (int y = kDisplayArea.top; y < kDisplayArea.bottom; ++y) {
                for (int x = kDisplayArea.left; x < kDisplayArea.right; ++x) {
                    if (now.At(x, y) != before.At(x, y)) return true;
                }
            }
            return false;
        },
        milliseconds);
}

// The GDI objects of an idle program: pending paints of the window and its controls done first,
// since they hold objects while they run.
long SettledGdiObjects(const Veltra& veltra) {
    RedrawWindow(veltra.main, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    veltra.Sync();
    long count = CountGdiObjects(veltra.process);
    WaitUntil([&] {
        const long previous = count;
        count = CountGdiObjects(veltra.process);
        return count == previous;
    });
    return count;
}

constexpr RECT kSmallPicture = {145, 151, 245, 201};  // where a 100 x 50 picture is drawn

// Shows "kept.bmp", a 100 x 50 quadrant picture of the folder, and returns the capture of it.
ClientShot ShowKeptPicture(const Veltra& veltra) {
    veltra.MovePointerAway();
    veltra.Choose("kept.bmp");
    return ExpectSoon(veltra, QuadrantsIn(kSmallPicture));
}

// A 200 x 150 red metafile as GDI writes it: enhanced, or the old kind behind a placeable header.
std::string RedMetafile(bool enhanced) {
    HDC dc = enhanced ? CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr) : CreateMetaFileA(nullptr);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    SelectObject(dc, red);
    Rectangle(dc, 0, 0, 200, 150);
    std::string bytes;
    if (enhanced) {
        HENHMETAFILE emf = CloseEnhMetaFile(dc);
        bytes.resize(GetEnhMetaFileBits(emf, 0, nullptr));
        GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0]));
        DeleteEnhMetaFile(emf);
    } else {
        HMETAFILE wmf = CloseMetaFile(dc);
        bytes.resize(GetMetaFileBitsEx(wmf, 0, nullptr));
        GetMetaFileBitsEx(wmf, static_cast<UINT>(bytes.size()), &bytes[0]);
        DeleteMetaFile(wmf);
        // Key, handle, bounds 0 0 200 150, 1440 units an inch, reserved, and the XOR of those words.
        uint16_t header[11] = {0xCDD7, 0x9AC6, 0, 0, 0, 200, 150, 1440, 0, 0, 0};
        for (int i = 0; i < 10; ++i) header[10] ^= header[i];
        bytes.insert(0, reinterpret_cast<const char*>(header), sizeof(header));
    }
    DeleteObject(red);
    return bytes;
}

// The enhanced metafile with the size of its first record after the header set to 0.
std::string WithRecordOfSizeZero(std::string emf) {
    const uint32_t headerSize = *reinterpret_cast<const uint32_t*>(&emf[4]);
    if (headerSize + 8 <= emf.size()) std::fill_n(&emf[headerSize + 4], 4, '\0');
    return emf;
}

}  // namespace

// Sizes whose fitted side is a whole quotient: in doubles it truncates to the size in the name,
// which extended precision would make one more or less. The JPEGs are stored a quarter turned
// (test data), and the second one's ratios tie: fitted by its stored size to the box turned, it
// would be decoded a row short and stretched.
TEST(Preview, PicturesArePlacedAndScaledByTheFitRule) {
    const struct {
        const char* name;
        int width, height;           // of the picture file
        RECT drawn;                  // where the preview must put it, right and bottom exclusive
        const char* data = nullptr;  // the test data to copy instead of a quadrant BMP
    } placements[] = {
        {"a640x480.bmp", 640, 480, {35, 56, 355, 296}},
        {"b100x50.bmp", 100, 50, kSmallPicture},
        {"c400x240.bmp", 400, 240, {35, 80, 355, 272}},
        {"d320x300.bmp", 320, 300, {67, 56, 323, 296}},
        {"e100x50.bmp", 100, 50, kSmallPicture},
        {"f240 of 512x512.bmp", 512, 512, {75, 56, 315, 296}},
        {"g239 of 1000x1000.bmp", 1000, 1000, {75, 56, 314, 296}},
        {"h315 of 672x512.bmp", 672, 512, {37, 56, 352, 296}},
        {"i200 of 344x215.bmp", 344, 215, {35, 76, 355, 276}},
        {"j119 of 352x132.bmp", 352, 132, {35, 116, 355, 235}},
        {"k180 of 1536x2048.jpg", 0, 0, {105, 56, 285, 296}, "turned1536x2048.jpg"},
        {"l320 of 332x249.jpg", 0, 0, {35, 56, 355, 296}, "turned332x249.jpg"},
    };
    FixtureFolder folder;
    for (const auto& p : placements) {
        if (p.data != nullptr) {
            folder.CopyData(p.data, p.name);
        } else {
            folder.Write(p.name, QuadrantBmp(p.width, p.height));
        }
    }
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    // In this order each picture follows a larger one or one of another shape: nothing of the
    // earlier one may stay around it.
    for (const auto& p : placements) {
        SCOPED_TRACE(p.name);
        veltra.Choose(p.name);
        ExpectSoon(veltra, QuadrantsIn(p.drawn));
    }
}

TEST(Preview, JpegAndTiffPicturesLoad) {
    const struct {
        const char* name;
        COLORREF colour;
        RECT drawn;
    } pictures[] = {
        {"red640x480.jpg", RGB(255, 0, 0), {35, 56, 355, 296}},
        {"green400x240.tif", RGB(0, 255, 0), {35, 80, 355, 272}},
        {"blue320x300.tif", RGB(0, 0, 255), {67, 56, 323, 296}},
    };
    FixtureFolder folder;
    for (const auto& p : pictures) folder.CopyData(p.name, p.name);
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    for (const auto& p : pictures) {
        SCOPED_TRACE(p.name);
        veltra.Choose(p.name);
        const RECT d = p.drawn;
        ExpectSoon(veltra, [&](const ClientShot& shot) {
            std::vector<std::string> faults;
            FaultsOtherThan(shot, d, p.colour, 8, "of the picture", &faults);
            const RECT around[] = {{d.left - 1, d.top, d.left, d.bottom},
                                   {d.right, d.top, d.right + 1, d.bottom},
                                   {d.left, d.top - 1, d.right, d.top},
                                   {d.left, d.bottom, d.right, d.bottom + 1}};
            for (const RECT& edge : around) FaultsOtherThan(shot, edge, kBlack, 0, "just outside", &faults);
            return faults;
        });
    }
}

TEST(Preview, PictureDeletedAfterListingChangesNothing) {
    FixtureFolder folder;
    folder.Write("kept.bmp", QuadrantBmp(100, 50));
    folder.Write("gone.bmp", SolidBmp(100, 50, kWhite));
    folder.CopyData("Tone.WAV", "gone.WAV");
    Veltra veltra(folder.path);
    const ClientShot before = ShowKeptPicture(veltra);
    folder.Remove("gone.bmp");
    const size_t audio = AudioCapturedWhenQuiet();

    veltra.Choose("gone.bmp");
    EXPECT_TRUE(veltra.Sync());
    EXPECT_FALSE(DisplayAreaChangesWithin(veltra, before, 1000));
    EXPECT_EQ(AudioCaptured(), audio) << "the companion of a missing picture played";
    // The earlier picture is still the current one.
    veltra.Repaint();
    ExpectSoon(veltra, QuadrantsIn(kSmallPicture));
}

TEST(Preview, UndecodablePictureLeavesTheScreenUntilTheNextRepaintShowsBlack) {
    FixtureFolder folder;
    folder.Write("kept.bmp", QuadrantBmp(100, 50));
    folder.Write("broken.jpg", "This is not a picture, whatever its name says.");
    folder.CopyData("Tone.WAV", "broken.WAV");
    Veltra veltra(folder.path);
    const ClientShot before = ShowKeptPicture(veltra);
    const size_t audio = AudioCapturedWhenQuiet();

    veltra.Choose("broken.jpg");
    EXPECT_TRUE(veltra.Sync());
    EXPECT_FALSE(DisplayAreaChangesWithin(veltra, before, 1000)) << "the display area was repainted";
    // Its companion plays all the same.
    const std::string tone = Audible(ReadFileBytes(DataFile("Tone.raw")));
    EXPECT_TRUE(WaitUntil([&] { return Audible(AudioSince(audio)) == tone; }, 10000))
        << "captured " << AudioSince(audio).size() << " bytes";

    veltra.Repaint();
    ExpectSoon(veltra, BlackDisplayArea());
    // A good picture after it shows as usual.
    ShowKeptPicture(veltra);
}

TEST(Preview, OnePixelWidePictureDrawsNothingAndDoesNotFail) {
    FixtureFolder folder;
    folder.Write("kept.bmp", QuadrantBmp(100, 50));
    folder.Write("needle.bmp", SolidBmp(1, 5000, kWhite));
    Veltra veltra(folder.path);
    ShowKeptPicture(veltra);

    veltra.Choose("needle.bmp");
    // The repaint takes the earlier picture away and puts nothing in its place.
    ExpectSoon(veltra, BlackDisplayArea());
    EXPECT_TRUE(veltra.Sync());
    veltra.Repaint();
    ExpectSoon(veltra, BlackDisplayArea());
    EXPECT_TRUE(veltra.Running());
}

TEST(Preview, RepaintsLeaveNoGdiObjectBehind) {
    FixtureFolder folder;
    // Scaled on every paint, so each paint takes every drawing step there is.
    folder.Write("wide.bmp", QuadrantBmp(640, 160));
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    const long atStart = SettledGdiObjects(veltra);
    ASSERT_GT(atStart, 0) << "no count of the program's GDI objects can be had";
    veltra.Choose("wide.bmp");
    ExpectSoon(veltra, QuadrantsIn({35, 136, 355, 216}));

    auto paint = [&](int times) {
        for (int i = 0; i < times; ++i) {
            InvalidateRect(veltra.main, nullptr, TRUE);
            // Sent, so each one runs the whole paint once before the next.
            DWORD_PTR result = 0;
            ASSERT_NE(SendMessageTimeoutA(veltra.main, WM_PAINT, 0, 0, SMTO_NORMAL, 5000, &result), 0);
        }
    };
    // The first paints make what GDI and GDI+ keep for the process's lifetime.
    paint(20);
    const long before = SettledGdiObjects(veltra);
    const size_t memoryBefore = PrivateBytes(veltra.process.hProcess);
    paint(200);
    const long after = SettledGdiObjects(veltra);
    const size_t memoryAfter = PrivateBytes(veltra.process.hProcess);
    std::printf("GDI objects: %ld at start, %ld with a picture, %ld after 200 paints; private memory %zu -> %zu KiB\n",
                atStart, before, after, memoryBefore / 1024, memoryAfter / 1024);
    EXPECT_EQ(after, before);
    // The four skin bitmaps alone are 340 KiB of pixels per paint: 200 leaked paints would be tens
    // of megabytes.
    EXPECT_LT(static_cast<long long>(memoryAfter) - static_cast<long long>(memoryBefore), 2ll * 1024 * 1024);
    ExpectSoon(veltra, QuadrantsIn({35, 136, 355, 216}));
}

// The system's decoders go by content and would draw any of these; none is a kind the list
// promises, so under each picture name every one is undecodable, and none brings the program down.
TEST(Preview, ForeignPicturesUnderEveryPictureNameAreUndecodable) {
    const std::pair<const char*, std::string> foreign[] = {
        {"emf", RedMetafile(true)},
        {"emf record of size 0", WithRecordOfSizeZero(RedMetafile(true))},
        {"wmf", RedMetafile(false)},
        {"png", ReadFileBytes(DataFile("red.png"))},
        {"gif", ReadFileBytes(DataFile("red.gif"))},
        {"ico", ReadFileBytes(DataFile("red.ico"))},
    };
    FixtureFolder folder;
    std::vector<std::string> names;
    for (const auto& [kind, bytes] : foreign) {
        ASSERT_GT(bytes.size(), 20u) << kind;
        for (const char* extension : {".jpg", ".bmp", ".pcx", ".psd", ".tif"}) {
            names.push_back(std::string(kind) + extension);
            folder.Write(names.back(), bytes);
        }
    }
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        veltra.Choose(name);
        veltra.Repaint();
        ExpectSoon(veltra, BlackDisplayArea());
        ASSERT_TRUE(veltra.Running());
    }
}
