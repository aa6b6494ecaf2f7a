#include "pictures/fit_picture.h"

FittedRect FitPicture(int32_t pictureWidth, int32_t pictureHeight, int32_t boxWidth, int32_t boxHeight) {
    FittedRect fit{0, 0, pictureWidth, pictureHeight};
    if (pictureWidth > boxWidth || pictureHeight > boxHeight) {
        const double rw = static_cast<double>(pictureWidth) / boxWidth;
        const double rh = static_cast<double>(pictureHeight) / boxHeight;
        // A tie scales by height; both branches give the same size then, but the choice is
        // part of the rule every view shares.
        if (rw > rh) {
            fit.width = boxWidth;
            fit.height = static_cast<int32_t>(pictureHeight / rw);
        } else {
            fit.width = static_cast<int32_t>(pictureWidth / rh);
            fit.height = boxHeight;
        }
    }
    fit.x = (boxWidth - fit.width) / 2;
    fit.y = (boxHeight - fit.height) / 2;
    if (fit.x < 0) fit.x = 0;
    if (fit.y < 0) fit.y = 0;
    return fit;
}
