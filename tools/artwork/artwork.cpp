#include "artwork.h"

#include <string>

std::vector<ArtworkFile> AllArtwork() {
    std::vector<ArtworkFile> files;
    for (int pressed = 0; pressed <= 1; ++pressed)
        for (int number = 1; number <= BUTTON_COUNT; ++number)
            files.push_back({std::string(kButtonBitmapNames[pressed][number - 1]) + ".bmp",
                             EncodeBmp24(ButtonImage(number, pressed != 0))});
    files.push_back({std::string(kIconName) + ".ico", EncodeIcon({MainIcon(32), MainIcon(16)})});
    files.push_back({std::string(kSkinTop.name) + ".bmp", EncodeBmp24(SkinTop())});
    files.push_back({std::string(kSkinLeft.name) + ".bmp", EncodeBmp24(SkinLeft())});
    files.push_back({std::string(kSkinRight.name) + ".bmp", EncodeBmp24(SkinRight())});
    files.push_back({std::string(kSkinBottom.name) + ".bmp", EncodeBmp24(SkinBottom())});
    return files;
}
