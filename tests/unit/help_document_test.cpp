// Reads the help document as the rich edit control would show it and checks the rules that
// keep it readable in the small help area: every line fits, the sections come in order in
// their colours, everything visible is bold Arial 10 pt.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Format {
    bool bold = false;
    int font = 0;
    int halfPoints = 24;
    int colour = 0;
};

struct Line {
    std::string text;
    Format format;  // at the line's first character
};

struct Document {
    std::vector<Line> lines;
    std::vector<unsigned> colours;  // 0xRRGGBB; entry 0 is the automatic colour
    std::string title;
};

std::string ReadHelp() {
    const char* path = std::getenv("VELTRA_HELP_RTF");
    if (path == nullptr) return std::string();
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Parses the colour table's body, e.g. " ;\red255\green0\blue0;".
std::vector<unsigned> ParseColours(const std::string& table) {
    std::vector<unsigned> colours;
    unsigned current = 0;
    size_t i = 0;
    while (i < table.size()) {
        if (table[i] == ';') {
            colours.push_back(current);
            current = 0;
            ++i;
        } else if (table[i] == '\\') {
            size_t j = i + 1;
            while (j < table.size() && std::isalpha(static_cast<unsigned char>(table[j]))) ++j;
            const std::string word = table.substr(i + 1, j - i - 1);
            const unsigned value = static_cast<unsigned>(std::strtoul(table.c_str() + j, nullptr, 10));
            if (word == "red") current |= value << 16;
            if (word == "green") current |= value << 8;
            if (word == "blue") current |= value;
            i = j;
        } else {
            ++i;
        }
    }
    return colours;
}

std::string GroupBody(const std::string& rtf, size_t open, size_t* end) {
    int depth = 0;
    for (size_t i = open; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
            ++i;
        } else if (rtf[i] == '{') {
            ++depth;
        } else if (rtf[i] == '}' && --depth == 0) {
            *end = i;
            return rtf.substr(open + 1, i - open - 1);
        }
    }
    *end = rtf.size();
    return std::string();
}

Document Parse(const std::string& rtf) {
    Document document;
    std::vector<Format> stack(1);
    Line line;
    bool lineStarted = false;
    auto emit = [&](char c) {
        if (!lineStarted) line.format = stack.back();
        lineStarted = true;
        line.text += c;
    };
    for (size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            // Destinations that hold no visible text.
            static const char* const kHidden[] = {"{\\fonttbl", "{\\colortbl", "{\\stylesheet", "{\\info", "{\\*"};
            bool hidden = false;
            for (const char* prefix : kHidden) hidden = hidden || rtf.compare(i, std::strlen(prefix), prefix) == 0;
            if (hidden) {
                size_t end = 0;
                const std::string body = GroupBody(rtf, i, &end);
                if (rtf.compare(i, 10, "{\\colortbl") == 0) document.colours = ParseColours(body.substr(8));
                const size_t title = body.find("{\\title ");
                if (title != std::string::npos) {
                    document.title = body.substr(title + 8, body.find('}', title) - title - 8);
                }
                i = end;
                continue;
            }
            stack.push_back(stack.back());
        } else if (c == '}') {
            if (stack.size() > 1) stack.pop_back();
        } else if (c == '\r' || c == '\n') {
            continue;
        } else if (c == '\\') {
            size_t j = i + 1;
            if (j < rtf.size() && !std::isalpha(static_cast<unsigned char>(rtf[j]))) {
                emit(rtf[j]);
                i = j;
                continue;
            }
            while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) ++j;
            const std::string word = rtf.substr(i + 1, j - i - 1);
            char* after = nullptr;
            const long value = std::strtol(rtf.c_str() + j, &after, 10);
            const bool hasValue = after != rtf.c_str() + j;
            j = static_cast<size_t>(after - rtf.c_str());
            if (j < rtf.size() && rtf[j] == ' ') ++j;
            i = j - 1;
            Format& format = stack.back();
            if (word == "par") {
                document.lines.push_back(line);
                line = Line();
                lineStarted = false;
            } else if (word == "tab") {
                emit('\t');
            } else if (word == "b") {
                format.bold = !hasValue || value != 0;
            } else if (word == "f") {
                format.font = static_cast<int>(value);
            } else if (word == "fs") {
                format.halfPoints = static_cast<int>(value);
            } else if (word == "cf") {
                format.colour = static_cast<int>(value);
            } else if (word == "pard" || word == "plain") {
                format.bold = false;
                format.font = 0;
                format.halfPoints = 24;
                if (word == "plain") format.colour = 0;
            }
        } else {
            emit(c);
        }
    }
    return document;
}

class HelpDocument : public ::testing::Test {
  protected:
    void SetUp() override {
        rtf = ReadHelp();
        ASSERT_FALSE(rtf.empty()) << "the help document is missing or empty";
        document = Parse(rtf);
    }
    std::string rtf;
    Document document;
};

TEST_F(HelpDocument, IsAnAnsiDocumentWithCrLfLinesAndTheRightTitle) {
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    EXPECT_NE(rtf.find("\\deflang1033"), std::string::npos);
    EXPECT_EQ(rtf.find('\0'), std::string::npos);
    for (size_t i = 0; i < rtf.size(); ++i) {
        if (rtf[i] == '\n') {
            ASSERT_TRUE(i > 0 && rtf[i - 1] == '\r') << "bare LF at byte " << i;
        }
        if (rtf[i] == '\r') {
            ASSERT_TRUE(i + 1 < rtf.size() && rtf[i + 1] == '\n') << "bare CR at byte " << i;
        }
    }
    EXPECT_EQ(document.title, "THE BUTTONS");
    EXPECT_NE(rtf.find("Times New Roman"), std::string::npos);
    EXPECT_NE(rtf.find("\\f1\\fswiss\\fcharset0 Arial"), std::string::npos);
}

TEST_F(HelpDocument, EveryVisibleLineFitsAndIsBoldArialTenPoint) {
    ASSERT_GT(document.lines.size(), 30u);
    for (const Line& line : document.lines) {
        EXPECT_LE(line.text.size(), 44u) << line.text;
        if (line.text.empty()) continue;
        EXPECT_TRUE(line.format.bold) << line.text;
        EXPECT_EQ(line.format.font, 1) << line.text;
        EXPECT_EQ(line.format.halfPoints, 20) << line.text;
    }
    for (size_t i = 0; i < rtf.size();) {
        const size_t end = rtf.find("\r\n", i);
        const std::string sourceLine = rtf.substr(i, end - i);
        EXPECT_LE(sourceLine.size(), 44u) << sourceLine;
        if (end == std::string::npos) break;
        i = end + 2;
    }
}

TEST_F(HelpDocument, SevenSectionsInOrderInTheirColours) {
    struct Heading {
        const char* text;
        unsigned colour;
    };
    const Heading kHeadings[] = {
        {"IMAGE FORMATS SUPPORTED", 0xFFCC00},
        {"MOVING VELTRA", 0xFF0000},
        {"THE LIST AND BROWSING FOR FOLDERS", 0x3366FF},
        {"FULL SCREEN DISPLAY", 0x00FFFF},
        {"SLIDE SHOW", 0xFF00FF},
        {"SOUND EFFECTS", 0xCCFFCC},
        {"TEST BARS", 0xFFFF00},
    };
    std::vector<const Line*> headings;
    for (const Line& line : document.lines) {
        ASSERT_LT(static_cast<size_t>(line.format.colour), document.colours.size()) << line.text;
        if (!line.text.empty() && document.colours[line.format.colour] != 0xFFFFFF) headings.push_back(&line);
    }
    ASSERT_EQ(headings.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        EXPECT_EQ(headings[i]->text, kHeadings[i].text);
        EXPECT_EQ(document.colours[headings[i]->format.colour], kHeadings[i].colour) << kHeadings[i].text;
    }
    EXPECT_EQ(document.lines.front().text, "IMAGE FORMATS SUPPORTED");
}

TEST_F(HelpDocument, NamesEveryPictureKindAndTheSoundExample) {
    std::string text;
    for (const Line& line : document.lines) text += line.text + "\n";
    for (const char* kind :
         {"JPG\tJoint Photography Experts Group", "BMP\tBitmap Graphic Format", "PCX\tPaintbrush Graphic Format",
          "PSD\tPhotoshop Graphic Format", "TIF\tTagged Image File Format", "MYPICTURE.JPG", "MYPICTURE.WAV"}) {
        EXPECT_NE(text.find(kind), std::string::npos) << kind;
    }
}

}  // namespace
