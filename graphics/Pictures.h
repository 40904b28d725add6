// The pictures compiled into the program, in the embedded 4-bit format (see
// EmbeddedImage.h). They are drawn by tools/make_pictures and turned into
// source by the C export of LoadBmp4; see graphics/pictures/.
#pragma once

namespace lumetra {

struct EmbeddedPicture {
    int w;
    int h;
    const unsigned char* img;
};

// 200 x 50: the game's logo in a dark green border, with the small flag.
const EmbeddedPicture& TitlePicture();
// 163 x 50: the same logo without the flag, for the About form.
const EmbeddedPicture& AboutLogoPicture();
// 20 x 20, n = 1..4: 1 checked on grey, 2 checked on white, 3 empty grey,
// 4 empty white. Any other n gives picture 4.
const EmbeddedPicture& CheckBoxPicture(int n);
// 20 x 20, n = 1..4: 1 dark dot on grey, 2 near-black dot on white, 3 empty
// grey, 4 empty white; black (index 0) around the circle is meant to be drawn
// transparent. Any other n gives picture 4.
const EmbeddedPicture& OptionBoxPicture(int n);

}  // namespace lumetra
