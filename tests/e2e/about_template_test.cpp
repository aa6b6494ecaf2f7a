// The About box's dialog template as the exe carries it, read field by field.
#include "harness.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dialog_template.h"

using namespace e2e;

namespace {

#pragma pack(push, 1)
struct TemplateHeader {
    WORD version, signature;
    DWORD helpId, exStyle, style;
    WORD count;
    short x, y, cx, cy;
};
struct ItemHeader {
    DWORD helpId, exStyle, style;
    short x, y, cx, cy;
    int32_t id;
};
#pragma pack(pop)

struct TemplateItem {
    ItemHeader header;
    std::string className;  // "#130" for the predefined class ordinal 0x0082
    std::string text;
    WORD extraBytes;
};

struct DialogTemplate {
    TemplateHeader header;
    std::string menu, className, caption;
    WORD pointSize, weight;
    BYTE italic, charset;
    std::string face;
    std::vector<TemplateItem> items;
};

DialogTemplate ReadAboutTemplate() {
    const std::string bytes = VeltraResources().Raw("INFBOX", RT_DIALOG);
    TemplateReader in{bytes};
    DialogTemplate dialog = {};
    dialog.header = in.Next<TemplateHeader>();
    dialog.menu = in.TextOrOrdinal();
    dialog.className = in.TextOrOrdinal();
    dialog.caption = in.Text();
    dialog.pointSize = in.Next<WORD>();
    dialog.weight = in.Next<WORD>();
    dialog.italic = in.Next<BYTE>();
    dialog.charset = in.Next<BYTE>();
    dialog.face = in.Text();
    for (WORD i = 0; i < dialog.header.count && in.at < bytes.size(); ++i) {
        in.at = (in.at + 3) & ~size_t{3};  // each item starts on a DWORD boundary
        TemplateItem item = {};
        item.header = in.Next<ItemHeader>();
        item.className = in.TextOrOrdinal();
        item.text = in.TextOrOrdinal();
        item.extraBytes = in.Next<WORD>();
        in.at += item.extraBytes;
        dialog.items.push_back(item);
    }
    return dialog;
}

}  // namespace

TEST(AboutBox, TemplateIsAnExtendedDialogWithSevenControls) {
    VeltraResources resources;
    EXPECT_NE(FindResourceExA(resources.module, RT_DIALOG, "INFBOX", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
              nullptr);
    const DialogTemplate dialog = ReadAboutTemplate();
    const TemplateHeader& header = dialog.header;
    EXPECT_EQ(header.version, 1);
    ASSERT_EQ(header.signature, 0xFFFF) << "not an extended template";
    EXPECT_EQ(header.helpId, 0u);
    EXPECT_EQ(header.exStyle, 0u);
    EXPECT_EQ(header.style, 0x80000040u) << "WS_POPUP | DS_SETFONT only";
    EXPECT_EQ(header.x, 0);
    EXPECT_EQ(header.y, 0);
    EXPECT_EQ(header.cx, 214);
    EXPECT_EQ(header.cy, 148);
    EXPECT_EQ(dialog.menu, "");
    EXPECT_EQ(dialog.className, "");
    EXPECT_EQ(dialog.caption, "");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charset, 1);
    EXPECT_EQ(dialog.face, "MS Sans Serif");

    struct Expected {
        int32_t id;
        const char* className;
        const char* text;  // null: the program's own credit and rights texts
        DWORD style, exStyle;
        short x, y, cx, cy;
    };
    const Expected expected[] = {
        {301, "#130", "VELTRA       VERSION 1", 0x50020000, 0, 30, 3, 154, 8},
        {300, "#130", nullptr, 0x50020000, 0, 30, 13, 151, 8},
        {302, "#130", nullptr, 0x50000000, 0, 30, 23, 154, 8},
        {-1, "#130", "Done", 0x50020000, 0, 190, 22, 18, 8},
        {305, "#128", "", 0x50000000, 1, 189, 5, 19, 14},
        {-1, "#130", "MICON", 0x50000003, 0, 4, 5, 20, 20},
        {303, "RICHEDIT", "", 0x50201884, 0, 5, 37, 203, 107},
    };
    ASSERT_EQ(header.count, 7);
    ASSERT_EQ(dialog.items.size(), 7u);
    for (size_t i = 0; i < 7; ++i) {
        const TemplateItem& item = dialog.items[i];
        const Expected& want = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(item.header.helpId, 0u);
        EXPECT_EQ(item.header.id, want.id);
        EXPECT_EQ(item.className, want.className);
        if (want.text != nullptr) {
            EXPECT_EQ(item.text, want.text);
        }
        EXPECT_EQ(item.header.style, want.style);
        EXPECT_EQ(item.header.exStyle, want.exStyle);
        EXPECT_EQ(item.header.x, want.x);
        EXPECT_EQ(item.header.y, want.y);
        EXPECT_EQ(item.header.cx, want.cx);
        EXPECT_EQ(item.header.cy, want.cy);
        EXPECT_EQ(item.extraBytes, 0);
    }
    EXPECT_EQ(dialog.items[1].text.size(), 38u) << "a 24-character lead-in and a 14-character name";
    EXPECT_FALSE(dialog.items[2].text.empty());
}
