// The text cell's painting: its text aligned, framed, highlighted or marked.
#include "lumetra/controls/CellControl.h"

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

CellControl::CellControl(GUIElement* parentElement) : Control(parentElement) {
    elementKind = "cellcontrol";
    tabStop = false;
    autoRepaint = true;
}

template <typename T>
void CellControl::Change(T& field, T value) {
    if (field == value) return;
    field = value;
    modified = true;
    Paint();
}

void CellControl::SetText(const std::string& s) { Change(text, s); }
void CellControl::SetAlignment(TextAlign a) { Change(alignment, a); }
void CellControl::SetTextColor(Colour c) { Change(textColor, c); }
void CellControl::SetBorder(bool on) { Change(border, on); }
void CellControl::SetMarked(bool on) { Change(marked, on); }

void CellControl::SetHighlighted(bool on) { SetAndPaint(highlighted, on); }

void CellControl::SetHighlightColor(Colour c) { SetAndPaint(highlightColor, c); }

void CellControl::SetHighlightTextColor(Colour c) { SetAndPaint(highlightTextColor, c); }

void CellControl::SetImage(XImage* img, int32_t w, int32_t h, int32_t align) {
    image = img;
    imageWidth = w;
    imageHeight = h;
    imageAlign = align;
    Paint();
}

void CellControl::Create() {
    if (created) return;
    CreateControl(false);
    modified = false;
}

void CellControl::Paint() {
    if (!MayPaint(*this)) return;
    GraphicsContext gc(GetForm());
    const ControlArea a = AreaInForm(*this);
    const Colour back = highlighted ? highlightColor : EffectiveBackColor();
    const Colour fore = highlighted ? highlightTextColor : textColor;
    // The whole rectangle first: the text box's own fill stops a pixel short
    // of the right edge.
    FillArea(gc, a, back);
    ControlArea inside = a;
    if (border) {
        // Dark above and left, light below and right; a white cell gets a
        // black frame all round so that its lower edges still show.
        DrawBevel(gc, a, 0x000000, back == 0xFFFFFF ? 0x000000 : 0xFFFFFF);
        inside = {a.x + 1, a.y + 1, a.w - 2, a.h - 2};
        if (!a.HasInside()) return;
    }
    if (inside.w < 1 || inside.h < 1) return;
    gc.DrawText(inside.x, inside.y, inside.w, inside.h, text, fore, back, alignment);
    if (marked) {
        const int line = gc.LineHeight();
        gc.DrawText(inside.x + inside.w - line, inside.y + inside.h - line - 4, line, line, "*",
                    fore, back, AlignCenter);
    }
    if (image != nullptr) {
        const int top = inside.y + (inside.h - imageHeight) / 2;
        int left = inside.x + 3;
        if (imageAlign == 1) left = inside.x + (inside.w - imageWidth) - 3;
        if (imageAlign == 2) left = inside.x + (inside.w - imageWidth) / 2;
        gc.PutImage(left, top, imageWidth, imageHeight, image);
    }
}

}  // namespace lumetra
