// The toolkit's static text cell: one text, aligned left, right or centred,
// in a chosen colour, with an optional thin frame. It can also be
// highlighted, marked with an asterisk and carry a small picture. It takes no
// keyboard input but reports presses and clicks through the element handlers.
#pragma once

#include <string>

#include "lumetra/controls/Control.h"
#include "lumetra/core/XTypes.h"

namespace lumetra {

class CellControl : public Control {
public:
    explicit CellControl(GUIElement* parentElement);

    // A cell is moved and resized as any element is, not erased and shown
    // anew as the other controls are: the change shows at its next paint.
    void SetSize(int32_t w, int32_t h) override {
        GUIElement::SetSize(w, h);  // NOLINT(bugprone-parent-virtual-call)
    }
    void SetPosition(int32_t px, int32_t py) override {
        GUIElement::SetPosition(px, py);  // NOLINT(bugprone-parent-virtual-call)
    }
    // Repaints at once when the text changes; an equal text changes nothing.
    void SetText(const std::string& s) override;
    void Paint() override;
    void Create() override;

    void SetAlignment(TextAlign a);
    void SetTextColor(Colour c);
    void SetBorder(bool on);
    void SetMarked(bool on);
    void SetHighlighted(bool on);
    void SetHighlightColor(Colour c);
    void SetHighlightTextColor(Colour c);
    // The picture stays the caller's. imageAlign 1: right, 2: centred, other: left.
    void SetImage(XImage* img, int32_t w, int32_t h, int32_t align);

    Colour GetTextColor() const { return textColor; }
    TextAlign GetAlignment() const { return alignment; }
    bool HasBorder() const { return border; }
    bool IsModified() const { return modified; }
    void ClearModified() { modified = false; }

private:
    // Stores a new value of a shown property and repaints, only when it differs.
    template <typename T>
    void Change(T& field, T value);

    TextAlign alignment = AlignCenter;
    Colour textColor = 0x000000;
    bool border = false;
    bool highlighted = false;
    Colour highlightColor = 0xFFFF00;
    Colour highlightTextColor = 0x000000;
    bool marked = false;
    XImage* image = nullptr;
    int32_t imageAlign = 1;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    bool modified = false;
};

}  // namespace lumetra
