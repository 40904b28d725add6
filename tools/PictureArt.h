// The pictures compiled into the game, as drawn here: each is painted pixel
// by pixel on a 16-colour canvas (PictureArt.cpp) and saved as a 4-bit BMP
// file; the toolkit's LoadBmp4 turns that file into the C source under
// graphics/pictures/. Changing a picture means changing PictureArt.cpp and
// running make_pictures (the pictures test fails until the sources are
// regenerated).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumetra::art {

struct NamedPicture {
    std::string file;          // the BMP's file name; its C export names the data after it
    std::vector<uint8_t> bmp;  // an uncompressed bottom-up 4-bit BMP file
};

// Every picture, drawn and encoded.
std::vector<NamedPicture> AllPictures();

}  // namespace lumetra::art
