// The hostile corpus's TIFF, PCX and PSD files, the files that are no pictures at all, the odd
// names, and the corpus as a whole.
#include <gtest/gtest.h>

#include <map>

#include "hostile_corpus.h"
#include "hostile_support.h"

namespace e2e {

const char kGoodPicture[] = "good red.jpg";

std::string Seed(const char* dataName) {
    const std::string bytes = ReadFileBytes(DataFile(dataName));
    EXPECT_FALSE(bytes.empty()) << "test data " << dataName << " is missing";
    return bytes;
}

namespace {

// The first image file directory of a little-endian TIFF: where each tag's entry lies.
struct TiffDirectory {
    size_t offset = 0;
    size_t nextLink = 0;  // where the offset of the next directory is stored
    std::map<uint16_t, size_t> entries;
};

TiffDirectory ReadDirectory(const std::string& tiff) {
    TiffDirectory directory;
    directory.offset = Get32LE(tiff, 4);
    const uint32_t count = Get16LE(tiff, directory.offset);
    for (uint32_t i = 0; i < count; ++i) {
        const size_t entry = directory.offset + 2 + 12 * i;
        directory.entries[static_cast<uint16_t>(Get16LE(tiff, entry))] = entry;
    }
    directory.nextLink = directory.offset + 2 + 12 * count;
    EXPECT_EQ(tiff.substr(0, 4), std::string("II*\0", 4));
    EXPECT_EQ(directory.entries.count(256) + directory.entries.count(273) + directory.entries.count(279), 3u)
        << "unexpected TIFF layout";
    return directory;
}

// The tag's entry rewritten as one LONG value, so that any 32-bit value fits in place.
std::string WithTag(const std::string& tiff, const TiffDirectory& directory, uint16_t tag, uint32_t value) {
    std::string bytes = tiff;
    const auto found = directory.entries.find(tag);
    if (found == directory.entries.end()) {
        ADD_FAILURE() << "the TIFF has no tag " << tag;
        return bytes;
    }
    Put16LE(bytes, found->second + 2, 4);
    Put32LE(bytes, found->second + 4, 1);
    Put32LE(bytes, found->second + 8, value);
    return bytes;
}

}  // namespace

void AddTiffs(Corpus& corpus) {
    const std::string green = Seed("green400x240.tif");
    AddCuts(corpus, "green", ".tif", green);
    AddCuts(corpus, "blue", ".TIFF", Seed("blue320x300.tif"));
    const TiffDirectory directory = ReadDirectory(green);
    const struct {
        const char* name;
        uint32_t width;
        uint32_t height;
    } sizes[] = {{"tif 65535 x 65535.tif", 65535, 65535},
                 {"tif 1 x 100000.tif", 1, 100000},
                 {"tif 100000 x 1.tif", 100000, 1},
                 {"tif width 0.tif", 0, 240},
                 {"tif height 0.tif", 400, 0}};
    for (const auto& size : sizes) {
        corpus.Add(size.name, WithTag(WithTag(green, directory, 256, size.width), directory, 257, size.height));
    }
    const struct {
        const char* name;
        uint16_t tag;
        uint32_t value;
    } tags[] = {
        {"tif strip past the end.tif", 273, 0x7FFFFFF0},
        {"tif strip of 4 GB.tif", 279, 0xFFFFFFFF},
        {"tif rows per strip 0.tif", 278, 0},
        {"tif 1000 samples per pixel.tif", 277, 1000},
        {"tif bits per sample 0.tif", 258, 0},
        {"tif bits per sample 64.tif", 258, 64},
        {"tif compression 9999.tif", 259, 9999},
        {"tif jpeg compression on lzw data.tif", 259, 7},
        {"tif fax compression on colour.tif", 259, 3},
        {"tif palette without a colour map.tif", 262, 3},
        {"tif predictor 7.tif", 317, 7},
    };
    for (const auto& tag : tags) corpus.Add(tag.name, WithTag(green, directory, tag.tag, tag.value));

    auto patched = [&](const char* name, size_t at, uint32_t value) {
        std::string bytes = green;
        Put32LE(bytes, at, value);
        corpus.Add(name, bytes);
    };
    patched("tif directory that links to itself.tif", directory.nextLink, static_cast<uint32_t>(directory.offset));
    patched("tif first directory at 0.tif", 4, 0);
    patched("tif first directory in the header.tif", 4, 2);
    patched("tif first directory past the end.tif", 4, 0x7FFFFFF0);
    patched("tif bits per sample list past the end.tif", directory.entries.at(258) + 8, 0x7FFFFFF0);
    patched("tif strip list of 1G entries.tif", directory.entries.at(273) + 4, 0x40000000);
    {
        // Two directories in a ring: the first links to a copy of itself, which links back.
        std::string bytes = green;
        const size_t copy = (bytes.size() + 1) & ~static_cast<size_t>(1);
        bytes.resize(copy);
        bytes += green.substr(directory.offset, directory.nextLink + 4 - directory.offset);
        Put32LE(bytes, directory.nextLink, static_cast<uint32_t>(copy));
        Put32LE(bytes, copy + (directory.nextLink - directory.offset), static_cast<uint32_t>(directory.offset));
        corpus.Add("tif two directories in a ring.tif", bytes);
    }
    {
        std::string bytes = green;
        Put16LE(bytes, directory.offset, 65535);
        corpus.Add("tif directory of 65535 entries.tif", bytes);
    }
    {
        std::string bytes = green;
        const size_t strip = Get32LE(green, directory.entries.at(273) + 8);
        const size_t length = Get32LE(green, directory.entries.at(279) + 8);
        bytes.replace(strip, length, corpus.Noise(length));
        corpus.Add("tif lzw garbage.tif", bytes);
    }
    corpus.Add("tif big-endian mark on little-endian data.tif", "MM\0*" + green.substr(4));
    corpus.Add("tif version 43.tif", "II+\0" + green.substr(4));
}

void AddPcxAndPsd(Corpus& corpus) {
    const std::string pcx = Seed("quad24.pcx");
    AddCuts(corpus, "quad24", ".pcx", pcx);
    AddCuts(corpus, "quad8", ".PCX", Seed("quad8.pcx"));
    // Header: window xmin, ymin, xmax, ymax at 4; planes at 65; bytes per line at 66.
    const struct {
        const char* name;
        size_t at;
        std::vector<uint16_t> words;
    } pcxPatches[] = {
        {"pcx 65536 x 65536.pcx", 4, {0, 0, 65535, 65535}}, {"pcx 1 x 65536.pcx", 4, {0, 0, 0, 65535}},
        {"pcx xmin beyond xmax.pcx", 4, {200, 0, 99, 49}},  {"pcx 0 bytes per line.pcx", 66, {0}},
        {"pcx 65535 bytes per line.pcx", 66, {65535}},
    };
    for (const auto& patch : pcxPatches) {
        std::string bytes = pcx;
        for (size_t i = 0; i < patch.words.size(); ++i) Put16LE(bytes, patch.at + 2 * i, patch.words[i]);
        corpus.Add(patch.name, bytes);
    }
    for (int planes : {0, 255}) {
        std::string bytes = pcx;
        bytes[65] = static_cast<char>(planes);
        corpus.Add("pcx " + std::to_string(planes) + " planes.pcx", bytes);
    }
    std::string runs = pcx.substr(0, 128);
    for (int i = 0; i < 2000; ++i) runs += "\xFF\x00";
    corpus.Add("pcx runs past the picture.pcx", runs);

    const std::string psd = Seed("quad8rle.psd");
    AddCuts(corpus, "quad8rle", ".psd", psd);
    AddCuts(corpus, "quad16raw", ".psd", Seed("quad16raw.psd"));
    // Header: version at 4, channels at 12, height at 14, width at 18, depth at 22, mode at 24.
    const struct {
        const char* name;
        uint32_t height;
        uint32_t width;
    } psdSizes[] = {{"psd 30000 x 30000.psd", 30000, 30000},
                    {"psd 300000 x 1.psd", 1, 300000},
                    {"psd 1 x 300000.psd", 300000, 1},
                    {"psd 0 x 0.psd", 0, 0},
                    {"psd 4G x 4G.psd", 0xFFFFFFFF, 0xFFFFFFFF}};
    for (const auto& size : psdSizes) {
        std::string bytes = psd;
        Put32BE(bytes, 14, size.height);
        Put32BE(bytes, 18, size.width);
        corpus.Add(size.name, bytes);
    }
    auto patched = [&](const std::string& name, size_t at, uint32_t value, bool word) {
        std::string bytes = psd;
        word ? Put16BE(bytes, at, value) : Put32BE(bytes, at, value);
        corpus.Add(name, bytes);
    };
    patched("psd version 2.psd", 4, 2, true);
    patched("psd 56 channels.psd", 12, 56, true);
    patched("psd 0 channels.psd", 12, 0, true);
    patched("psd depth 7.psd", 22, 7, true);
    patched("psd depth 32.psd", 22, 32, true);
    patched("psd mode 99.psd", 24, 99, true);
    patched("psd colour data of 4 GB.psd", 26, 0xFFFFFFF0, false);
    // The sections before the picture data: colour mode data, resources, layers and masks.
    size_t at = 26;
    for (int section = 0; section < 3; ++section) at += 4 + Get32BE(psd, at);
    patched("psd resources of 4 GB.psd", 30 + Get32BE(psd, 26), 0xFFFFFFF0, false);
    patched("psd compression 9.psd", at, 9, true);
    std::string counts = psd;
    for (size_t i = at + 2; i < at + 2 + 2 * 3 * 50; i += 2) Put16BE(counts, i, 0xFFFF);
    corpus.Add("psd row lengths of 64 KB.psd", counts);
}

void AddOddities(Corpus& corpus) {
    for (const char* name :
         {"empty.jpg", "empty.bmp", "empty.pcx", "empty.psd", "empty.tif", "empty.tiff", "EMPTY TOO.JPG"}) {
        corpus.Add(name, "");
    }
    std::string text;
    for (int i = 0; i < 40; ++i) text += "This is a letter, not a picture.\r\n";
    corpus.Add("letter.jpg", text);
    corpus.Add("web page.bmp", "<!DOCTYPE html><html><body><img src=\"x.jpg\"></body></html>\n");
    const std::wstring wide = L"\xFEFFUTF-16 text that is not a picture";
    corpus.Add("utf-16 text.tif", std::string(reinterpret_cast<const char*>(wide.data()), wide.size() * 2));
    for (size_t length : {1, 16, 1000, 65536, 300000}) {
        corpus.Add("random " + std::to_string(length) + " bytes.jpg", corpus.Noise(length));
    }
    for (const char* extension : {".bmp", ".pcx", ".psd", ".tif"})
        corpus.Add(std::string("random") + extension, corpus.Noise(5000));
    const struct {
        const char* name;
        std::string magic;
    } magics[] = {
        {"jpeg magic then noise.jpg", std::string("\xFF\xD8\xFF\xE0", 4)},
        {"bmp magic then noise.bmp", "BM"},
        {"tiff magic then noise.tif", std::string("II*\0", 4)},
        {"big-endian tiff magic then noise.tif", std::string("MM\0*", 4)},
        {"psd magic then noise.psd", std::string("8BPS\0\x01", 6)},
        {"pcx magic then noise.pcx", std::string("\x0A\x05\x01\x08", 4)},
    };
    for (const auto& magic : magics) corpus.Add(magic.name, magic.magic + corpus.Noise(5000));
    corpus.Add("zeros.jpg", std::string(65536, '\0'));
    corpus.Add("all bits set.bmp", std::string(65536, '\xFF'));
    // Far larger than any picture: one that the program still reads whole before refusing it,
    // one past 4 GB, more than a 32-bit process can hold.
    corpus.AddZeros("zeros 300 MB.pcx", 300ull << 20);
    corpus.AddZeros("zeros 4.5 GB.tif", 4608ull << 20);

    // Names: over 200 characters, spaces, several dots, nothing but the extension.
    const std::string good = MakeBmp(64, 40, [](int x, int) { return RGB(0, x * 4, 255); });
    corpus.Add(std::string(200, 'L') + ".bmp", good);
    std::string spaced = "a name well over two hundred characters long, with spaces,, commas and. several. dots";
    while (spaced.size() < 230) spaced += " . more";
    corpus.Add(spaced + ".jpg", Seed("Beach.jpg"));
    corpus.Add("several.dots.in.one.name.tif", Seed("green400x240.tif"));
    corpus.Add(" leading space.jpg", Seed("Beach.jpg"));
    corpus.Add("dots ... and   spaces  .  bmp.bmp", good);
    corpus.Add("x.jpg.bmp.jpg", corpus.Noise(700));
    corpus.Add(".jpg", corpus.Noise(300));
    corpus.Add("..psd", corpus.Noise(300));

    // A folder named as a picture, with a picture inside it, and an empty one.
    corpus.folder.MakeFolder("x.jpg");
    corpus.folder.Write("x.jpg\\inside.jpg", Seed("red640x480.jpg"));
    corpus.names.push_back("x.jpg");
    corpus.folder.MakeFolder("folder.tif");
    corpus.names.push_back("folder.tif");
}

std::vector<std::string> WriteHostileCorpus(const FixtureFolder& folder) {
    Corpus corpus{folder, {}, std::mt19937(20240607)};
    corpus.Add(kGoodPicture, Seed("red640x480.jpg"));
    AddBmps(corpus);
    AddJpegs(corpus);
    AddTiffs(corpus);
    AddPcxAndPsd(corpus);
    AddOddities(corpus);
    return corpus.names;
}

}  // namespace e2e
