// Draws the pictures compiled into the game (PictureArt.cpp), writes each as a
// 4-bit BMP file and lets the toolkit's LoadBmp4 write its C source beside
// it. Usage: make_pictures [directory], by default graphics/pictures of the
// working directory; `ninja pictures` runs it on the source tree.
#include <cstdio>
#include <string>

#include "PictureArt.h"
#include "lumetra/graphics/BmpLoader.h"
#include "lumetra/util/Paths.h"

int main(int argc, char** argv) {
    const std::string dir =
        lumetra::WithTrailingSeparator(argc > 1 ? argv[1] : "graphics/pictures");
    for (const lumetra::art::NamedPicture& picture : lumetra::art::AllPictures()) {
        const std::string path = dir + picture.file;
        const std::vector<uint8_t>& bytes = picture.bmp;
        std::FILE* f = std::fopen(path.c_str(), "wb");
        const bool written =
            f != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (f != nullptr && std::fclose(f) != 0) return 1;
        if (!written) {
            std::fprintf(stderr, "make_pictures: cannot write %s\n", path.c_str());
            return 1;
        }
        if (lumetra::LoadBmp4(path).Empty()) {
            std::fprintf(stderr, "make_pictures: %s does not read back\n", path.c_str());
            return 1;
        }
        std::printf("%s and %s.c\n", path.c_str(), path.c_str());
    }
    return 0;
}
