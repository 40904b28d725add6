// The check and option boxes' state pictures, made into X images once.
#include "lumetra/controls/StatePictures.h"

#include "lumetra/graphics/EmbeddedImage.h"

namespace lumetra {

XImage* StatePictures::For(GUIElement* owner, bool enabled, bool on) {
    if (!built_) {
        // Once only, even when the display cannot take them: the failure is
        // logged by the image layer and not again at every paint.
        built_ = true;
        for (int n = 1; n <= 4; ++n) {
            const EmbeddedPicture& p = source_(n);
            images_[static_cast<size_t>(n - 1)].reset(
                CreateImageFromRgb(owner, DecodeEmbeddedImage(p.w, p.h, p.img), p.w, p.h));
        }
    }
    return images_[static_cast<size_t>(Number(enabled, on) - 1)].get();
}

}  // namespace lumetra
