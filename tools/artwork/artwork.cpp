#include "artwork.h"

#include <string>

std::vector<ArtworkFile> AllArtwork() {
    std::vector<ArtworkFile> files;
    for (int pressed = 0; pressed <= 1; ++pressed)
        for (int number = 1; number <= 6; ++number)
            files.push_back({"BTON" + std::to_string(number) + (pressed ? "D" : "N") + ".bmp",
                             EncodeBmp24(ButtonImage(number, pressed != 0))});
    files.push_back({"MICON.ico", EncodeIcon({MainIcon(32), MainIcon(16)})});
    files.push_back({"SKTOP.bmp", EncodeBmp24(SkinTop())});
    files.push_back({"SKLFT.bmp", EncodeBmp24(SkinLeft())});
    files.push_back({"SKRGT.bmp", EncodeBmp24(SkinRight())});
    files.push_back({"SKBOT.bmp", EncodeBmp24(SkinBottom())});
    return files;
}
