// Shows one frame of a sheet of equally sized frames: the sheet is one X
// image (not owned) laid out as a grid of cells the size of the control, and
// the control shows the cell at a column and row. Flipping the frame makes
// simple animations and multi-state pictures.
#pragma once

#include "lumetra/core/GUIElement.h"
#include "lumetra/core/XTypes.h"

namespace lumetra {

class ImageFrame : public Child {
public:
    ImageFrame(GUIElement* parent, XImage* sheet, int32_t column, int32_t row);

    // Nothing happens when the frame is the one shown already.
    void SetFrame(int32_t column, int32_t row);
    // With erase, the control's area is painted over before the new frame.
    void SetFrame(int32_t column, int32_t row, bool erase);
    // Column in x, row in y.
    PackedPoint GetFrame() const { return PackPoint(column_, row_); }
    // Black (0x000000) pixels of the frame let the background show; takes
    // effect at the next paint.
    void SetTransparent(bool on) { transparent_ = on; }
    bool IsTransparent() const { return transparent_; }

    void Hide() override;
    void Paint() override;
    void Create() override;

private:
    bool transparent_ = false;
    XImage* sheet_ = nullptr;
    int32_t column_ = 0;
    int32_t row_ = 0;
};

}  // namespace lumetra
