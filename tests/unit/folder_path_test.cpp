#include "catalogue/folder_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string WithBackslash(const std::string& path, bool* accepted = nullptr) {
    char buffer[260];
    std::memset(buffer, 'Z', sizeof(buffer));
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    const bool ok = AddTrailingBackslash(buffer, sizeof(buffer));
    if (accepted != nullptr) *accepted = ok;
    return buffer;
}

TEST(AddTrailingBackslash, AddsExactlyOne) {
    EXPECT_EQ(WithBackslash("C:\\photos"), "C:\\photos\\");
    EXPECT_EQ(WithBackslash("C:\\photos\\"), "C:\\photos\\");
    EXPECT_EQ(WithBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithBackslash("\\\\server\\share"), "\\\\server\\share\\");
}

TEST(AddTrailingBackslash, UsesTheLastByteButRefusesToCut) {
    bool accepted = false;
    const std::string fits(258, 'a');
    EXPECT_EQ(WithBackslash(fits, &accepted), fits + "\\");
    EXPECT_TRUE(accepted);

    const std::string full(259, 'a');
    EXPECT_EQ(WithBackslash(full, &accepted), full);
    EXPECT_FALSE(accepted);

    const std::string fullWithBackslash = std::string(258, 'a') + "\\";
    EXPECT_EQ(WithBackslash(fullWithBackslash, &accepted), fullWithBackslash);
    EXPECT_TRUE(accepted);

    EXPECT_EQ(WithBackslash("", &accepted), "");
    EXPECT_FALSE(accepted);
}

TEST(AddTrailingBackslash, RefusesAnUnterminatedBuffer) {
    char buffer[8];
    std::memset(buffer, 'a', sizeof(buffer));
    EXPECT_FALSE(AddTrailingBackslash(buffer, sizeof(buffer)));
    EXPECT_EQ(std::string(buffer, sizeof(buffer)), std::string(8, 'a'));
}

}  // namespace
