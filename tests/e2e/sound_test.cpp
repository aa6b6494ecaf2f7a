// Companion sounds: what the program really plays, read from the capture of its sound output.
// Captures are compared by their audible samples (see Audible): under load Wine pads its output
// with silence, which changes the bytes but not the sound.
#include <gtest/gtest.h>

#include "harness.h"

using namespace e2e;

namespace {

// The audible samples of a prepared sound.
std::string Sound(const char* rawName) {
    const std::string samples = Audible(ReadFileBytes(DataFile(rawName)));
    EXPECT_FALSE(samples.empty()) << rawName;
    return samples;
}

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Waits until what was heard since `offset` ends with `sound` (a sound played to its end), then
// makes sure nothing more is heard; returns what was heard since `offset`.
std::string WaitForSoundToEnd(size_t offset, const std::string& sound) {
    EXPECT_TRUE(WaitUntil([&] { return EndsWith(Audible(AudioSince(offset)), sound); }, 20000))
        << "captured " << AudioCaptured() - offset << " bytes, the sound has " << sound.size();
    const std::string heard = Audible(AudioSince(offset));
    EXPECT_FALSE(WaitUntil([&] { return Audible(AudioSince(offset)).size() != heard.size(); }, 500))
        << "more sound followed";
    return heard;
}

// Shows `picture` and expects to hear exactly the sound in `expectedRaw` (a data file), whole.
void ExpectChoosingPlays(const Veltra& veltra, const std::string& picture, const std::string& expectedRaw) {
    const std::string expected = Sound(expectedRaw.c_str());
    const size_t offset = AudioCapturedWhenQuiet();
    veltra.Choose(picture);
    const std::string heard = WaitForSoundToEnd(offset, expected);
    EXPECT_EQ(heard.size(), expected.size()) << picture;
    EXPECT_TRUE(heard == expected) << picture;
}

// Shows `picture` and waits until its companion is playing, part of it captured.
void ChooseAndWaitForSound(const Veltra& veltra, const std::string& picture, size_t offset) {
    veltra.Choose(picture);
    EXPECT_TRUE(WaitUntil([&] { return AudioCaptured() > offset; }, 10000)) << "nothing played";
}

}  // namespace

TEST(CompanionSound, PlaysExactlyTheWavBesideThePicture) {
    // Names in any script: MCI opens the sound by its own name.
    for (const char* name :
         {"Beach", "\u041C\u043E\u0441\u043A\u0432\u0430 \u65E5\u672C \U0001F30A"}) {  // Москва 日本 🌊
        SCOPED_TRACE(name);
        FixtureFolder folder;
        folder.CopyData("Beach.jpg", name + std::string(".jpg"));
        folder.CopyData("Beach.WAV", name + std::string(".WAV"));
        folder.CopyData("Tone.WAV", "Other.WAV");
        Veltra veltra(folder.path);
        ExpectChoosingPlays(veltra, name + std::string(".jpg"), "Beach.raw");
        EXPECT_TRUE(veltra.Running());
    }
}

TEST(CompanionSound, ChoosingThePictureAgainRestartsItsSound) {
    FixtureFolder folder;
    folder.CopyData("Beach.jpg", "Sweep.jpg");
    folder.CopyData("Sweep.WAV", "Sweep.WAV");
    Veltra veltra(folder.path);
    const std::string sweep = Sound("Sweep.raw");
    const size_t offset = AudioCapturedWhenQuiet();

    ChooseAndWaitForSound(veltra, "Sweep.jpg", offset);
    veltra.Choose("Sweep.jpg");
    const std::string heard = WaitForSoundToEnd(offset, sweep);
    // The first play cut short, then the whole sound again from its beginning.
    ASSERT_GT(heard.size(), sweep.size());
    const std::string first = heard.substr(0, heard.size() - sweep.size());
    EXPECT_LT(first.size(), sweep.size());
    EXPECT_EQ(sweep.compare(0, first.size(), first), 0) << "the first play is not the sound's beginning";
}

// A companion whose header cannot be vouched for counts as none.
TEST(CompanionSound, PictureWithoutCompanionLetsTheSoundPlayOn) {
    FixtureFolder folder;
    folder.CopyData("Beach.jpg", "Sweep.jpg");
    folder.CopyData("Sweep.WAV", "Sweep.WAV");
    const struct {
        const char* picture;
        COLORREF colour;
        const char* companion;  // a data file, or null
    } quietPictures[] = {{"Quiet.bmp", RGB(255, 0, 255), nullptr},
                         {"Broken.bmp", RGB(0, 255, 255), "bad-zero-channels.WAV"}};
    for (const auto& quiet : quietPictures) {
        folder.Write(quiet.picture, SolidBmp(100, 50, quiet.colour));
        if (quiet.companion != nullptr) folder.CopyData(quiet.companion, "Broken.WAV");
    }
    Veltra veltra(folder.path);
    veltra.MovePointerAway();
    const std::string sweep = Sound("Sweep.raw");
    for (const auto& quiet : quietPictures) {
        SCOPED_TRACE(quiet.picture);
        const size_t offset = AudioCapturedWhenQuiet();
        ChooseAndWaitForSound(veltra, "Sweep.jpg", offset);
        veltra.Choose(quiet.picture);
        EXPECT_LT(Audible(AudioSince(offset)).size(), sweep.size())
            << "the sound had ended before the other picture was chosen";
        // The other picture is shown...
        EXPECT_TRUE(WaitUntil([&] { return CaptureClient(veltra).At(195, 176) == quiet.colour; }));
        // ...and the sound plays to its end, once, neither cut nor restarted.
        const std::string heard = WaitForSoundToEnd(offset, sweep);
        EXPECT_EQ(heard.size(), sweep.size());
        EXPECT_TRUE(heard == sweep);
    }
}

TEST(CompanionSound, NameWithSeveralDotsKeepsAllButTheLastExtension) {
    FixtureFolder folder;
    folder.CopyData("Beach.jpg", "a.b.jpg");
    folder.CopyData("Tone.WAV", "a.b.WAV");
    folder.CopyData("Beach.WAV", "a.WAV");
    Veltra veltra(folder.path);
    ExpectChoosingPlays(veltra, "a.b.jpg", "Tone.raw");
}

// Nothing holds a file once it has been read: the picture on show and its companion, once played
// to its end, can be renamed and deleted, whether the main window or the full-screen viewer (which
// gets the sound's notice) showed them, and when the viewer ended while the sound still played.
TEST(CompanionSound, TheShownPictureAndItsFinishedCompanionCanBeRenamedAndDeleted) {
    enum class Shown { InMainWindow, InViewer, InViewerEndedWhilePlaying };
    const struct {
        const char* dataName;  // null for a BMP
        const char* picture;
        Shown shown;
        const char* what;
    } cases[] = {
        {"red640x480.jpg", "b.jpg", Shown::InMainWindow, "JPEG in the main window"},
        {nullptr, "b.bmp", Shown::InMainWindow, "BMP in the main window"},
        {"green400x240.tif", "b.tif", Shown::InMainWindow, "TIFF in the main window"},
        {"red640x480.jpg", "b.jpg", Shown::InViewer, "JPEG in the viewer"},
        {nullptr, "b.bmp", Shown::InViewer, "BMP in the viewer"},
        {nullptr, "b.bmp", Shown::InViewerEndedWhilePlaying, "BMP in a viewer ended during the sound"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.what);
        const bool endViewer = test.shown == Shown::InViewerEndedWhilePlaying;
        FixtureFolder folder;
        folder.Write("a.bmp", SolidBmp(64, 48, RGB(0, 0, 255)));
        if (test.dataName != nullptr) {
            folder.CopyData(test.dataName, test.picture);
        } else {
            folder.Write(test.picture, SolidBmp(64, 48, RGB(0, 255, 0)));
        }
        folder.CopyData(endViewer ? "Sweep.WAV" : "Tone.WAV", "b.WAV");
        Veltra veltra(folder.path);
        const std::string sound = Sound(endViewer ? "Sweep.raw" : "Tone.raw");
        const size_t offset = AudioCapturedWhenQuiet();
        HWND viewer = nullptr;
        if (test.shown == Shown::InMainWindow) {
            veltra.Choose(test.picture);
        } else {
            veltra.Choose("a.bmp");
            PostMessageA(veltra.main, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(195, 150));
            viewer = veltra.WaitForDialog();
            ASSERT_NE(viewer, nullptr) << "the viewer did not open";
            PostMessageA(viewer, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(500, 400));
        }
        if (endViewer) {
            EXPECT_TRUE(WaitUntil([&] { return AudioCaptured() > offset; }, 10000)) << "nothing played";
            // The release of Escape ends the viewer.
            PostMessageA(viewer, WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0000001u));
            EXPECT_TRUE(WaitUntil([&] { return veltra.FindDialog() == nullptr; })) << "the viewer did not end";
            EXPECT_LT(Audible(AudioSince(offset)).size(), sound.size()) << "the sound ended before the viewer did";
        }
        WaitForSoundToEnd(offset, sound);
        for (const std::string& name : {std::string(test.picture), std::string("b.WAV")}) {
            const std::string renamed = folder.Path("renamed " + name);
            const bool moved = WaitUntil([&] { return MoveFileA(folder.Path(name).c_str(), renamed.c_str()) != 0; });
            EXPECT_TRUE(moved) << name << " cannot be renamed: error " << GetLastError();
            EXPECT_TRUE(DeleteFileA(moved ? renamed.c_str() : folder.Path(name).c_str()))
                << name << " cannot be deleted: error " << GetLastError();
        }
        if (test.shown == Shown::InViewer) {
            EXPECT_EQ(veltra.FindDialog(), viewer) << "the viewer closed";
        }
        EXPECT_TRUE(veltra.Running());
    }
}

// Every companion that plays to its end is closed at once; the system's wave driver must outlive
// the thread that reported the end, however often that happens.
TEST(CompanionSound, ManyCompanionsPlayedToTheirEndLeaveTheProgramRunning) {
    FixtureFolder folder;
    for (const char* name : {"a", "b"}) {
        folder.CopyData("Beach.jpg", name + std::string(".jpg"));
        folder.CopyData("Tone.WAV", name + std::string(".WAV"));
    }
    Veltra veltra(folder.path);
    for (int round = 0; round < 100 && veltra.Running(); ++round) {
        const size_t offset = AudioCapturedWhenQuiet();
        veltra.Choose(round % 2 == 0 ? "a.jpg" : "b.jpg");
        EXPECT_TRUE(WaitUntil([&] { return AudioCaptured() > offset; }, 10000)) << "round " << round;
    }
    AudioCapturedWhenQuiet();
    EXPECT_TRUE(veltra.Running());
    EXPECT_TRUE(veltra.Sync(2000));
}
