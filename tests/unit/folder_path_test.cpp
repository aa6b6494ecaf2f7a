#include "catalogue/folder_path.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace {

// Counted in characters: a 260-character buffer, whatever the characters are.
std::wstring WithBackslash(const std::wstring& path, bool* accepted = nullptr) {
    wchar_t buffer[260];
    std::wmemset(buffer, L'Z', 260);
    std::wmemcpy(buffer, path.c_str(), path.size() + 1);
    const bool ok = AddTrailingBackslash(buffer, 260);
    if (accepted != nullptr) *accepted = ok;
    return buffer;
}

TEST(AddTrailingBackslash, AddsExactlyOne) {
    EXPECT_EQ(WithBackslash(L"C:\\photos"), L"C:\\photos\\");
    EXPECT_EQ(WithBackslash(L"C:\\photos\\"), L"C:\\photos\\");
    EXPECT_EQ(WithBackslash(L"C:\\"), L"C:\\");
    EXPECT_EQ(WithBackslash(L"\\\\server\\share"), L"\\\\server\\share\\");
}

TEST(AddTrailingBackslash, UsesTheLastCharacterButRefusesToCut) {
    bool accepted = false;
    const std::wstring fits(258, L'\u65E5');  // 日, one character
    EXPECT_EQ(WithBackslash(fits, &accepted), fits + L"\\");
    EXPECT_TRUE(accepted);

    const std::wstring full(259, L'a');
    EXPECT_EQ(WithBackslash(full, &accepted), full);
    EXPECT_FALSE(accepted);

    const std::wstring fullWithBackslash = std::wstring(258, L'a') + L"\\";
    EXPECT_EQ(WithBackslash(fullWithBackslash, &accepted), fullWithBackslash);
    EXPECT_TRUE(accepted);

    EXPECT_EQ(WithBackslash(L"", &accepted), L"");
    EXPECT_FALSE(accepted);
}

TEST(AddTrailingBackslash, RefusesAnUnterminatedBuffer) {
    wchar_t buffer[8];
    std::wmemset(buffer, L'a', 8);
    EXPECT_FALSE(AddTrailingBackslash(buffer, 8));
    EXPECT_EQ(std::wstring(buffer, 8), std::wstring(8, L'a'));
}

}  // namespace
