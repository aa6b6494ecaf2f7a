// The About and help box: where and how it opens, what it shows, and that nothing but its Done
// button closes it.
#include "harness.h"

#include <gtest/gtest.h>
#include <richedit.h>

#include <algorithm>
#include <sstream>

using namespace e2e;

namespace {

constexpr size_t kCreditLeadIn = 24;
constexpr size_t kCreditLength = 38;
const char kTitle[] = "VELTRA       VERSION 1";
const char* const kHeadings[] = {"IMAGE FORMATS SUPPORTED",
                                 "MOVING VELTRA",
                                 "THE LIST AND BROWSING FOR FOLDERS",
                                 "FULL SCREEN DISPLAY",
                                 "SLIDE SHOW",
                                 "SOUND EFFECTS",
                                 "TEST BARS"};
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kBlack = RGB(0, 0, 0);

// Opens the box as the About / Help button does; null if it did not appear.
HWND OpenAboutBox(const Veltra& veltra) {
    veltra.PostCommand(IDC_ABOUT_HELP);
    HWND box = veltra.WaitForDialog();
    veltra.Sync();
    return box;
}

// Whether the About box's template holds `text` (its texts are stored as UTF-16).
bool InAboutTemplate(const std::string& text) {
    std::string wide;
    for (char c : text) wide += std::string{c, '\0'};
    return VeltraResources().Raw("INFBOX", RT_DIALOG).find(wide) != std::string::npos;
}

bool Closed(const Veltra& veltra, HWND box) {
    return WaitUntil([&] { return !IsWindow(box) && IsWindowEnabled(veltra.main); });
}

std::string WindowText(HWND window) {
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(copied));
    return text;
}

RECT ScreenRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

POINT Centre(const RECT& rect) { return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// Dialog units to pixels for the template's font, the way the system sizes a dialog: horizontal
// base unit from the average width of the alphabet, vertical from the character height.
SIZE DialogUnitsToPixels(int cx, int cy) {
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_DONTCARE, FALSE, FALSE,
                             FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics = {};
    GetTextMetricsA(screen, &metrics);
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE extent = {};
    GetTextExtentPoint32A(screen, alphabet, 52, &extent);
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    const int baseX = (extent.cx / 26 + 1) / 2;
    return SIZE{MulDiv(cx, baseX, 4), MulDiv(cy, metrics.tmHeight, 8)};
}

using Glyphs = std::vector<std::string>;  // one string per row, '#' for a lit pixel

// The words of one line of text drawn in `area`, each cut to its own ink: text is smoothed, so a
// pixel counts as lit from half brightness on; words are apart by 3 or more unlit columns.
std::vector<Glyphs> WordsIn(const Screen& screen, const RECT& area) {
    auto lit = [&](int x, int y) { return GetRValue(screen.At(x, y)) + GetGValue(screen.At(x, y)) > 255; };
    int top = area.bottom;
    int bottom = area.top;
    std::vector<bool> litColumns;
    for (int x = area.left; x < area.right; ++x) {
        bool any = false;
        for (int y = area.top; y < area.bottom; ++y) {
            if (!lit(x, y)) continue;
            any = true;
            top = std::min(top, y);
            bottom = std::max(bottom, y + 1);
        }
        litColumns.push_back(any);
    }
    std::vector<Glyphs> words;
    for (size_t start = 0; start < litColumns.size();) {
        if (!litColumns[start]) {
            ++start;
            continue;
        }
        size_t end = start;
        while (end < litColumns.size() && (litColumns[end] || (end + 1 < litColumns.size() && litColumns[end + 1]) ||
                                           (end + 2 < litColumns.size() && litColumns[end + 2]))) {
            ++end;
        }
        Glyphs word;
        for (int y = top; y < bottom; ++y) {
            std::string row;
            for (size_t x = start; x < end; ++x) row += lit(area.left + static_cast<int>(x), y) ? '#' : '.';
            if (row.find('#') != std::string::npos || !word.empty()) word.push_back(row);
        }
        while (!word.empty() && word.back().find('#') == std::string::npos) word.pop_back();
        words.push_back(word);
        start = end;
    }
    return words;
}

struct PixelCounts {
    int yellow = 0;
    int black = 0;
    int other = 0;  // neither black, nor yellow, nor a blend of the two
};

PixelCounts CountPixels(const Screen& screen, const RECT& area) {
    PixelCounts counts;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) {
            const COLORREF pixel = screen.At(x, y);
            if (pixel == kYellow) {
                ++counts.yellow;
            } else if (pixel == kBlack) {
                ++counts.black;
            } else if (GetBValue(pixel) != 0 || std::abs(GetRValue(pixel) - GetGValue(pixel)) > 2) {
                ++counts.other;
            }
        }
    }
    return counts;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

// The screen once the box is drawn: neither it nor a control of it waits for painting, and two
// captures in a row agree on it.
Screen CaptureDrawnBox(HWND box) {
    std::vector<HWND> windows = Children(box);
    windows.push_back(box);
    const RECT area = ScreenRect(box);
    Screen previous = Screen::Capture();
    Screen current = previous;
    const bool settled = WaitUntil([&] {
        if (std::any_of(windows.begin(), windows.end(), [](HWND w) { return GetUpdateRect(w, nullptr, FALSE); })) {
            return false;
        }
        current = Screen::Capture();
        bool same = true;
        for (int y = area.top; y < area.bottom && same; ++y) {
            for (int x = area.left; x < area.right && same; ++x) same = current.At(x, y) == previous.At(x, y);
        }
        previous = current;
        return same;
    });
    EXPECT_TRUE(settled) << "the box kept changing";
    return current;
}

// The help document's visible lines, from the resource itself: in its body every line of text
// stands alone between control words, a tab written as \tab.
std::vector<std::string> DocumentLines() {
    VeltraResources resources;
    const std::string rtf = resources.Raw("TOVAK", "RTF");
    std::vector<std::string> lines;
    const size_t body = rtf.find("\\viewkind");
    if (body == std::string::npos) return lines;
    std::istringstream in(rtf.substr(body));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '\\' || line[0] == '{' || line[0] == '}') continue;
        for (size_t tab; (tab = line.find("\\tab ")) != std::string::npos;) line.replace(tab, 5, "\t");
        lines.push_back(line);
    }
    return lines;
}

std::vector<std::string> NonEmptyLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

}  // namespace

TEST(AboutBox, OpensOverTheMainWindowAtTheTemplateSize) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    const RECT frame = veltra.Frame();
    HWND box = OpenAboutBox(veltra);
    ASSERT_NE(box, nullptr);

    EXPECT_EQ(GetWindow(box, GW_OWNER), veltra.main);
    EXPECT_FALSE(IsWindowEnabled(veltra.main)) << "the box is modal";
    const RECT placed = ScreenRect(box);
    EXPECT_EQ(placed.left, frame.left + 35);
    EXPECT_EQ(placed.top, frame.top + 55);
    const SIZE size = DialogUnitsToPixels(214, 148);
    EXPECT_EQ(placed.right - placed.left, size.cx);
    EXPECT_EQ(placed.bottom - placed.top, size.cy);
    RECT client = {};
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, size.cx) << "no border";
    EXPECT_EQ(client.bottom, size.cy) << "no caption";

    // The credit line: the template's lead-in, then a name written at run time over the
    // template's placeholder, so not to be found in the template.
    const std::string credit = WindowText(GetDlgItem(box, IDC_ABOUT_CREDIT));
    ASSERT_EQ(credit.size(), kCreditLength) << credit;
    const std::string name = credit.substr(kCreditLeadIn);
    EXPECT_TRUE(InAboutTemplate(credit.substr(0, kCreditLeadIn))) << credit;
    EXPECT_FALSE(InAboutTemplate(name)) << credit;
    EXPECT_NE(name.find_first_not_of(' '), std::string::npos) << credit;
    EXPECT_EQ(WindowText(GetDlgItem(box, IDC_ABOUT_TITLE)), kTitle);
}

TEST(AboutBox, IsYellowOnBlackWithTheTitleInTheListsBoldFont) {
    FixtureFolder folder;
    // The list shows its names in the bold font; a name that begins with the title's text lets
    // the two renderings be compared pixel by pixel.
    folder.Write(std::string(kTitle) + ".jpg", "x");
    Veltra veltra(folder.path);
    ASSERT_EQ(veltra.ListNames().size(), 1u);
    veltra.MovePointerAway();
    HWND box = OpenAboutBox(veltra);
    ASSERT_NE(box, nullptr);
    const Screen screen = CaptureDrawnBox(box);

    // Every pixel of the box outside its controls is black.
    const RECT boxRect = ScreenRect(box);
    const std::vector<HWND> children = Children(box);
    ASSERT_EQ(children.size(), 7u);
    std::vector<RECT> controls;
    for (HWND child : children) controls.push_back(ScreenRect(child));
    int nonBlack = 0;
    for (int y = boxRect.top; y < boxRect.bottom; ++y) {
        for (int x = boxRect.left; x < boxRect.right; ++x) {
            const POINT point = {x, y};
            const bool inControl =
                std::any_of(controls.begin(), controls.end(), [&](const RECT& r) { return PtInRect(&r, point); });
            nonBlack += !inControl && screen.At(x, y) != kBlack;
        }
    }
    EXPECT_EQ(nonBlack, 0) << "background pixels of the box that are not black";

    // The four lines of text are yellow on black.
    int texts = 0;
    for (HWND child : children) {
        char className[32] = {};
        GetClassNameA(child, className, sizeof(className));
        const bool icon = (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
        if (lstrcmpiA(className, "Static") != 0 || icon) continue;
        ++texts;
        const PixelCounts counts = CountPixels(screen, ScreenRect(child));
        EXPECT_GT(counts.yellow, 20) << WindowText(child);
        EXPECT_GT(counts.black, counts.yellow) << WindowText(child);
        EXPECT_EQ(counts.other, 0) << WindowText(child);
    }
    EXPECT_EQ(texts, 4);

    // The title's words are drawn exactly like the first words of the list's entry.
    RECT item = {};
    ASSERT_NE(SendMessageA(veltra.list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)), LB_ERR);
    MapWindowPoints(veltra.list, nullptr, reinterpret_cast<POINT*>(&item), 2);
    const std::vector<Glyphs> title = WordsIn(screen, ScreenRect(GetDlgItem(box, IDC_ABOUT_TITLE)));
    const std::vector<Glyphs> entry = WordsIn(screen, item);
    ASSERT_EQ(title.size(), 3u) << "VELTRA, VERSION, 1";
    ASSERT_EQ(entry.size(), 3u) << "VELTRA, VERSION, 1.jpg";
    for (size_t word = 0; word < 2; ++word) {
        EXPECT_EQ(title[word], entry[word]) << "word " << word + 1 << " of the title";
    }

    // The help area is black behind its text, with the first heading in its own colour.
    HWND help = GetDlgItem(box, IDC_ABOUT_HELP_AREA);
    RECT helpClient = {};
    GetClientRect(help, &helpClient);
    MapWindowPoints(help, nullptr, reinterpret_cast<POINT*>(&helpClient), 2);
    int headingPixels = 0;
    int whitePixels = 0;
    int rightMarginLit = 0;
    for (int y = helpClient.top; y < helpClient.bottom; ++y) {
        for (int x = helpClient.left; x < helpClient.right; ++x) {
            const COLORREF pixel = screen.At(x, y);
            headingPixels += pixel == RGB(255, 204, 0);
            whitePixels += pixel == RGB(255, 255, 255);
            rightMarginLit += x >= helpClient.right - 12 && pixel != kBlack;
        }
    }
    EXPECT_GT(headingPixels, 20);
    EXPECT_GT(whitePixels, 100);
    EXPECT_EQ(rightMarginLit, 0) << "the help area's background is not black";
}

TEST(AboutBox, HelpAreaHoldsTheWholeDocumentAtEveryOpening) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    const std::vector<std::string> documentLines = DocumentLines();
    ASSERT_GT(documentLines.size(), 30u);

    HWND box = OpenAboutBox(veltra);
    ASSERT_NE(box, nullptr);
    HWND help = GetDlgItem(box, IDC_ABOUT_HELP_AREA);
    const std::string first = WindowText(help);
    EXPECT_EQ(first.rfind("IMAGE FORMATS SUPPORTED", 0), 0u) << first.substr(0, 40);
    const std::vector<std::string> lines = NonEmptyLines(first);
    EXPECT_EQ(lines, documentLines);
    size_t next = 0;
    for (const char* heading : kHeadings) {
        size_t at = next;
        while (at < lines.size() && lines[at] != heading) ++at;
        EXPECT_LT(at, lines.size()) << heading << " missing or out of order";
        next = at + 1;
    }
    EXPECT_EQ(SendMessageA(help, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    // Leave the first box scrolled to its end and close it with its button.
    SendMessageA(help, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_GT(SendMessageA(help, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    SendMessageA(GetDlgItem(box, IDC_ABOUT_DONE), BM_CLICK, 0, 0);
    ASSERT_TRUE(Closed(veltra, box));

    HWND again = OpenAboutBox(veltra);
    ASSERT_NE(again, nullptr);
    HWND helpAgain = GetDlgItem(again, IDC_ABOUT_HELP_AREA);
    EXPECT_EQ(WindowText(helpAgain), first);
    EXPECT_EQ(SendMessageA(helpAgain, EM_GETFIRSTVISIBLELINE, 0, 0), 0);
    PostMessageA(again, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_DONE, BN_CLICKED), 0);
    EXPECT_TRUE(Closed(veltra, again));
    EXPECT_TRUE(veltra.Sync());
}

TEST(AboutBox, OnlyTheDoneButtonClosesIt) {
    FixtureFolder folder;
    Veltra veltra(folder.path);
    HWND box = OpenAboutBox(veltra);
    ASSERT_NE(box, nullptr);
    HWND help = GetDlgItem(box, IDC_ABOUT_HELP_AREA);

    // Posted: Cancel (what the dialog manager makes of Escape), OK, the Escape key, a close request.
    PostAll(box, {{WM_COMMAND, IDCANCEL, 0},
                  {WM_COMMAND, IDOK, 0},
                  {WM_KEYDOWN, VK_ESCAPE, 0x00010001},
                  {WM_KEYUP, VK_ESCAPE, static_cast<LPARAM>(0xC0010001u)},
                  {WM_CLOSE, 0, 0}});
    ASSERT_TRUE(veltra.SyncPosted());
    EXPECT_TRUE(IsWindowVisible(box));

    // Real input: Escape, clicks on the title, the background, the main window and into the help
    // area, Escape again there, then Page Down. Input is handled in order, so once the help area
    // has scrolled everything before it has been handled too.
    const RECT boxRect = ScreenRect(box);
    SendKey(VK_ESCAPE);
    SendClicks(Centre(ScreenRect(GetDlgItem(box, IDC_ABOUT_TITLE))));
    SendClicks(POINT{boxRect.left + 3, boxRect.bottom - 2});
    SendClicks(veltra.ToScreen(200, 380));
    SendClicks(Centre(ScreenRect(help)));
    SendKey(VK_ESCAPE);
    SendKey(VK_NEXT);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(help, EM_GETFIRSTVISIBLELINE, 0, 0) > 0; }))
        << "the real input did not reach the box";
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_FALSE(IsWindowEnabled(veltra.main));

    SendClicks(Centre(ScreenRect(GetDlgItem(box, IDC_ABOUT_DONE))));
    EXPECT_TRUE(Closed(veltra, box));
    EXPECT_TRUE(veltra.Sync());
    EXPECT_TRUE(veltra.Running());
}
