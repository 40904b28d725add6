// The game board: four coloured boxes in a two-by-two grid on a panel. It
// draws each box bright when lit and dark otherwise, lights one box or none
// on request, and turns a press on a box into a call of its handler with the
// box's number. The rules live in the game window.
//
// Boxes: 1 top left (red), 2 top right (yellow), 3 bottom left (blue),
// 4 bottom right (green).
#pragma once

#include <array>
#include <cstdint>

#include "lumetra/controls/PanelChildren.h"
#include "lumetra/core/Types.h"

namespace lumetra {

class GraphicsContext;

class BoxGame : public PanelChildren {
public:
    using BoxClickHandler = void (*)(BoxGame* board, int32_t box);

    explicit BoxGame(GUIElement* parentElement);

    void SetBoxClickHandler(BoxClickHandler h) { boxClickHandler_ = h; }
    // Lights the box (1-4) alone, the other three off, and repaints; any
    // other number turns all off.
    void LightBox(int32_t box);
    void AllOff();
    bool IsLit(int32_t box) const;

    // The box under a point in form coordinates, 0 for none. Both edges of a
    // box count; the margins and the gaps between the boxes belong to none.
    int32_t BoxAt(PackedPoint p);
    // Where a box is drawn, in form coordinates.
    struct Rect {
        int32_t x;
        int32_t y;
        int32_t w;
        int32_t h;
    };
    Rect BoxRect(int32_t box);

    static Colour LitColour(int32_t box);
    static Colour UnlitColour(int32_t box);

    void MouseDown(PackedPoint p) override;
    void Paint() override;

private:
    void PaintBackground(GraphicsContext& gc);
    void PaintBoxes(GraphicsContext& gc);
    void Repaint();

    BoxClickHandler boxClickHandler_ = nullptr;
    // Indexed by box number - 1.
    std::array<bool, 4> lit_{};
};

}  // namespace lumetra
