#include "catalogue/picture_names.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

// An emoji as Windows holds it: a UTF-16 surrogate pair.
#define EMOJI L"\xD83D\xDCF7"

TEST(PictureKindOf, JudgesTheUpToThreeCharactersAfterTheLastDot) {
    const struct {
        const wchar_t* name;
        int kind;
    } kNames[] = {
        // The five kinds, in any case.
        {L"A.JPG", 1},
        {L"b.jpg", 1},
        {L"c.Jpg", 1},
        {L"d.bmp", 2},
        {L"e.PcX", 3},
        {L"f.psd", 4},
        {L"x.TIF", 5},
        // Only the first three characters after the last dot count.
        {L"e.tiff", 5},
        {L"f.bmpx", 2},
        {L"d.jpeg", 0},
        {L"archive.tar.pcx", 3},
        {L"photo.jpg.txt", 0},
        {L"a.b.psd", 4},
        // No usable extension.
        {L"README", 0},
        {L".", 0},
        {L"..", 0},
        {L"photo.", 0},
        {L"photo.jp", 0},
        {L"", 0},
        {L".jpg", 1},
        {L"x.\u00CApg", 0},
        // Full-width letters look like the kinds but are other characters.
        {L"x.\uFF2A\uFF30\uFF27", 0},
        {L"x.j" EMOJI, 0},
        // Names in any script.
        {L"\u65E5\u672C\u306E\u5199\u771F.jpg", 1},        // 日本の写真
        {L"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1.bmp", 2},  // Ελλάδα
        {L"\u0141\u00F3d\u017A noc\u0105.Tif", 5},         // Łódź nocą
        {L"\u041C\u043E\u0441\u043A\u0432\u0430.PSD", 4},  // Москва
        {EMOJI L" beach.pcx", 3},
        {L"\u0413\u043E\u0434.jpg.\u0442\u0445\u0442", 0},
    };
    for (const auto& n : kNames)
        EXPECT_EQ(PictureKindOf(n.name), n.kind) << testing::PrintToString(std::wstring(n.name));
}

std::wstring Companion(const wchar_t* name, size_t capacity = 260) {
    wchar_t buffer[300];
    std::wcscpy(buffer, name);
    return MakeCompanionName(buffer, capacity) ? std::wstring(buffer) : std::wstring(L"<refused:") + buffer + L">";
}

TEST(MakeCompanionName, ReplacesEverythingAfterTheLastDot) {
    EXPECT_EQ(Companion(L"Beach.jpg"), L"Beach.WAV");
    EXPECT_EQ(Companion(L"a.b.jpg"), L"a.b.WAV");
    EXPECT_EQ(Companion(L"photo.tiff"), L"photo.WAV");
    EXPECT_EQ(Companion(L"x."), L"x.WAV");
    EXPECT_EQ(Companion(L"\u041C\u043E\u0441\u043A\u0432\u0430.jpg"), L"\u041C\u043E\u0441\u043A\u0432\u0430.WAV");
    EXPECT_EQ(Companion(EMOJI L".tif"), EMOJI L".WAV");
}

TEST(MakeCompanionName, RefusesWhatItCannotDoSafely) {
    EXPECT_EQ(Companion(L"README"), L"<refused:README>");
    // "ab.x" needs "ab.WAV" plus terminator: 7 characters.
    EXPECT_EQ(Companion(L"ab.x", 7), L"ab.WAV");
    EXPECT_EQ(Companion(L"ab.x", 6), L"<refused:ab.x>");
    // A 259-character name whose dot is near its end would overflow a 260-character buffer,
    // whatever script the characters are in.
    std::wstring longName(257, L'\u5199');
    longName += L".p";
    ASSERT_EQ(longName.size(), 259u);
    EXPECT_EQ(Companion(longName.c_str()), L"<refused:" + longName + L">");
}

}  // namespace
