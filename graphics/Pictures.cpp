// The compiled-in pictures, each behind the function that names it.
#include "lumetra/graphics/Pictures.h"

namespace lumetra {

namespace {

// The C exports of the pictures' BMP files, as LoadBmp4 writes them (see
// tools/make_pictures). They declare their bytes as plain char, so values
// above 0x7F narrow; the bytes are read back as unsigned char below.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnarrowing"
#include "pictures/aboutlogo.bmp.c"
#include "pictures/checkbox1.bmp.c"
#include "pictures/checkbox2.bmp.c"
#include "pictures/checkbox3.bmp.c"
#include "pictures/checkbox4.bmp.c"
#include "pictures/optionbox1.bmp.c"
#include "pictures/optionbox2.bmp.c"
#include "pictures/optionbox3.bmp.c"
#include "pictures/optionbox4.bmp.c"
#include "pictures/title.bmp.c"
#pragma GCC diagnostic pop

EmbeddedPicture Picture(int w, int h, const char* img) {
    return {w, h, reinterpret_cast<const unsigned char*>(img)};
}

}  // namespace

const EmbeddedPicture& TitlePicture() {
    static const EmbeddedPicture p = Picture(wTITLE, hTITLE, imgTITLE);
    return p;
}

const EmbeddedPicture& AboutLogoPicture() {
    static const EmbeddedPicture p = Picture(wABOUTLOGO, hABOUTLOGO, imgABOUTLOGO);
    return p;
}

const EmbeddedPicture& CheckBoxPicture(int n) {
    static const EmbeddedPicture p[4] = {Picture(wCHECKBOX1, hCHECKBOX1, imgCHECKBOX1),
                                         Picture(wCHECKBOX2, hCHECKBOX2, imgCHECKBOX2),
                                         Picture(wCHECKBOX3, hCHECKBOX3, imgCHECKBOX3),
                                         Picture(wCHECKBOX4, hCHECKBOX4, imgCHECKBOX4)};
    return p[n >= 1 && n <= 4 ? n - 1 : 3];
}

const EmbeddedPicture& OptionBoxPicture(int n) {
    static const EmbeddedPicture p[4] = {Picture(wOPTIONBOX1, hOPTIONBOX1, imgOPTIONBOX1),
                                         Picture(wOPTIONBOX2, hOPTIONBOX2, imgOPTIONBOX2),
                                         Picture(wOPTIONBOX3, hOPTIONBOX3, imgOPTIONBOX3),
                                         Picture(wOPTIONBOX4, hOPTIONBOX4, imgOPTIONBOX4)};
    return p[n >= 1 && n <= 4 ? n - 1 : 3];
}

}  // namespace lumetra
