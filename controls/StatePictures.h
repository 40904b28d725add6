// The four 20 x 20 pictures with which a check box or an option box shows its
// state, turned into X images the first time they are drawn and owned until
// the control goes.
#pragma once

#include <array>

#include "lumetra/graphics/ImageFormat.h"
#include "lumetra/graphics/Pictures.h"

namespace lumetra {

class GUIElement;

class StatePictures {
public:
    using Source = const EmbeddedPicture& (*)(int n);
    static constexpr int kSize = 20;

    explicit StatePictures(Source pictureSource) : source_(pictureSource) {}

    // The picture for the state, made for the display of the owner's form on
    // first use; null when the display cannot hold pictures (the control then
    // draws without them).
    XImage* For(GUIElement* owner, bool enabled, bool on);

    // Pictures are numbered 1 disabled and on, 2 enabled and on, 3 disabled
    // and off, 4 enabled and off.
    static int Number(bool enabled, bool on) { return (on ? 1 : 3) + (enabled ? 1 : 0); }

private:
    Source source_;
    std::array<XImagePtr, 4> images_;
    bool built_ = false;
};

}  // namespace lumetra
