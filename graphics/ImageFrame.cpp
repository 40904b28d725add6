// The image frame's painting of one frame of its sheet.
#include "lumetra/graphics/ImageFrame.h"

#include "lumetra/core/Form.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

ImageFrame::ImageFrame(GUIElement* parent, XImage* sheet, int32_t column, int32_t row)
    : Child(parent), sheet_(sheet), column_(column), row_(row) {
    elementKind = "imageframe";
    // Repainted by its form on Expose like every control that draws.
    autoRepaint = true;
}

void ImageFrame::SetFrame(int32_t column, int32_t row) { SetFrame(column, row, false); }

void ImageFrame::SetFrame(int32_t column, int32_t row, bool erase) {
    if (column == column_ && row == row_) return;
    column_ = column;
    row_ = row;
    if (!created) return;
    if (erase) {
        Hide();
        Create();
    }
    Paint();
}

void ImageFrame::Hide() {
    if (created) EraseArea(1);
    GUIElement::Hide();
    created = false;
}

void ImageFrame::Create() { CreateControl(); }

void ImageFrame::Paint() {
    if (!created || sheet_ == nullptr) return;
    GraphicsContext gc(GetForm());
    const PackedPoint at = PositionInForm();
    const int px = PointX(at);
    const int py = PointY(at);
    const int w = width;
    const int h = height;
    const int srcX = w * column_;
    const int srcY = h * row_;
    if (!transparent_) {
        gc.PutImage(px, py, w, h, sheet_, srcX, srcY);
        return;
    }
    // The whole w x h area, so no pixel of the previous frame stays behind a
    // black one of this frame.
    gc.FillRectangle(px, py, w + 1, h + 1, 0, 0, BackgroundBehind());
    gc.PutImageTransparent(px, py, w, h, sheet_, srcX, srcY, 0);
}

}  // namespace lumetra
