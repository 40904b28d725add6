// The game board's painting and its presses turned into box numbers.
#include "lumetra/game/BoxGame.h"

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

namespace {

constexpr Colour kLit[4] = {0xFF0000, 0xFFFF00, 0x0000FF, 0x00FF00};
constexpr Colour kUnlit[4] = {0x7F0000, 0x7F7F00, 0x00007F, 0x007F00};
constexpr int32_t kMargin = 10;

bool ValidBox(int32_t box) { return box >= 1 && box <= 4; }

// Fills the pixels [x0, x1) x [y0, y1); the context's fill stops one pixel
// short of the size it is given.
void FillSpan(GraphicsContext& gc, int32_t x0, int32_t y0, int32_t x1, int32_t y1, Colour colour) {
    if (x1 > x0 && y1 > y0) gc.FillRectangle(x0, y0, x1 - x0 + 1, y1 - y0 + 1, 0, 0, colour);
}

}  // namespace

BoxGame::BoxGame(GUIElement* parentElement) : PanelChildren(parentElement) {
    // Not "panel": the lookup of the element under the pointer then treats
    // the board as one element and delivers presses to it.
    elementKind = "BoxGame";
}

Colour BoxGame::LitColour(int32_t box) { return ValidBox(box) ? kLit[box - 1] : NoColour; }
Colour BoxGame::UnlitColour(int32_t box) { return ValidBox(box) ? kUnlit[box - 1] : NoColour; }

bool BoxGame::IsLit(int32_t box) const {
    return ValidBox(box) && lit_[static_cast<size_t>(box - 1)];
}

void BoxGame::LightBox(int32_t box) {
    for (int32_t b = 1; b <= 4; ++b) lit_[static_cast<size_t>(b - 1)] = b == box;
    Repaint();
}

void BoxGame::AllOff() { LightBox(0); }

BoxGame::Rect BoxGame::BoxRect(int32_t box) {
    const PackedPoint at = PositionInForm();
    const int32_t bw = (width - 3 * kMargin) / 2;
    const int32_t bh = (height - 3 * kMargin) / 2;
    const bool right = box == 2 || box == 4;
    const bool bottom = box == 3 || box == 4;
    return {PointX(at) + (right ? bw + 2 * kMargin : kMargin),
            PointY(at) + (bottom ? bh + 2 * kMargin : kMargin), bw, bh};
}

int32_t BoxGame::BoxAt(PackedPoint p) {
    const int32_t px = PointX(p);
    const int32_t py = PointY(p);
    for (int32_t box = 1; box <= 4; ++box) {
        const Rect r = BoxRect(box);
        if (r.x <= px && px <= r.x + r.w && r.y <= py && py <= r.y + r.h) return box;
    }
    return 0;
}

void BoxGame::MouseDown(PackedPoint p) {
    const int32_t box = BoxAt(p);
    const ElementWatch alive(this);
    if (box != 0 && boxClickHandler_ != nullptr) boxClickHandler_(this, box);
    // The element's own handler follows, after the board's.
    if (alive) PanelChildren::MouseDown(p);
}

void BoxGame::Repaint() {
    if (!MayPaint(*this)) return;
    GraphicsContext gc(GetForm());
    PaintBoxes(gc);
}

void BoxGame::Paint() {
    if (!MayPaint(*this)) return;
    GraphicsContext gc(GetForm());
    // Sent in one go: a lit box is on the server as one change.
    const GraphicsContext::FlushOnce once(gc.GetDisplay());
    PaintBackground(gc);
    PaintBoxes(gc);
}

// The margins and gaps around the boxes, never the boxes themselves: a
// repaint of the whole board then shows no flash of background in them.
void BoxGame::PaintBackground(GraphicsContext& gc) {
    const Colour back = EffectiveBackColor();
    const PackedPoint at = PositionInForm();
    const int32_t left = PointX(at);
    const int32_t top = PointY(at);
    const int32_t right = left + width - 1;
    const int32_t bottom = top + height - 1;
    const Rect b1 = BoxRect(1);
    const Rect b4 = BoxRect(4);
    // Pixel spans the boxes cover (their fill stops one short of the size).
    const int32_t cols[2][2] = {{b1.x, b1.x + b1.w - 1}, {b4.x, b4.x + b4.w - 1}};
    const int32_t rows[2][2] = {{b1.y, b1.y + b1.h - 1}, {b4.y, b4.y + b4.h - 1}};
    FillSpan(gc, left, top, right, rows[0][0], back);
    FillSpan(gc, left, rows[0][1], right, rows[1][0], back);
    FillSpan(gc, left, rows[1][1], right, bottom, back);
    for (const auto& row : rows) {
        FillSpan(gc, left, row[0], cols[0][0], row[1], back);
        FillSpan(gc, cols[0][1], row[0], cols[1][0], row[1], back);
        FillSpan(gc, cols[1][1], row[0], right, row[1], back);
    }
}

void BoxGame::PaintBoxes(GraphicsContext& gc) {
    for (int32_t box = 1; box <= 4; ++box) {
        const Rect r = BoxRect(box);
        gc.FillRectangle(r.x, r.y, r.w, r.h, 0, 0, IsLit(box) ? LitColour(box) : UnlitColour(box));
    }
}

}  // namespace lumetra
