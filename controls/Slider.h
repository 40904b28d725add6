// A control for choosing one whole number from a small range: a horizontal or
// vertical track with one tick per value, the smallest and largest value at
// its ends and a triangular pointer at the current value's tick. Clicks near
// a tick and the cursor keys change the value; every change the user makes is
// reported.
//
// The slider widens itself to its ticks: every value of its range gets 8
// pixels of track, and the two numbers 40 pixels between them (36 on an
// upright slider, which grows in height instead). Given less, it grows past
// the size it was given when it first paints: a range of 0 to 255 makes it
// 2,080 pixels wide, whatever width was asked. Given more, it narrows to a
// whole number of pixels per value (0 to 4 asked at 103 pixels takes 100).
// It is at least 36 pixels high (40 wide when upright). A range of more than 4,000 values keeps the
// size it is given and draws a tick every so many values, never more than
// 4,001 ticks however long the track; what lies beyond the reach of X's
// 16-bit coordinates is not drawn.
#pragma once

#include <vector>

#include "lumetra/controls/Control.h"

namespace lumetra {

class GraphicsContext;
struct ControlArea;

class Slider : public Control {
public:
    using ValueHandler = void (*)(Slider* sender, int32_t value);

    // A range whose maximum does not exceed its minimum gives a slider fixed
    // at the minimum.
    Slider(GUIElement* parentElement, bool isVertical, int32_t minimumValue, int32_t maximumValue);

    // Clamped to the range; not reported as a change.
    void SetValue(int32_t v);
    int32_t GetValue() const { return value; }
    void SetLineColor(Colour c);
    void SetShowLabels(bool on);
    void SetOnValueChanged(ValueHandler f) { onValueChanged = f; }
    // Tells onValueChanged, then the element's OnChange handler. Answers
    // whether the slider outlived them.
    bool NotifyValueChanged();
    bool IsVertical() const { return vertical; }

    void MouseUp(PackedPoint p) override;
    void KeyDown(uint32_t keysym) override;
    bool KeyChar(char ch) override;
    void SetFocus() override;
    void Paint() override;

    virtual void Enable(bool on);

private:
    // A tick drawn at the last paint, in form coordinates, and its value.
    struct TickPoint {
        short x;
        short y;
        int32_t value;
    };

    // Number of intervals (in 64 bits: a range may span more than 2^31);
    // 0 for a slider without a range.
    int64_t Intervals() const { return maximum > minimum ? int64_t{maximum} - minimum : 0; }
    // Grows the size so that the track is a whole number of tick steps long.
    void FitSizeToTicks();
    // How many values lie between two ticks drawn on a track span pixels long.
    int64_t TickStep(int64_t span) const;
    // Where the value minimum + i stands along a track span pixels long.
    int64_t Offset(int64_t i, int64_t span) const;
    void PaintHorizontal(GraphicsContext& gc, const ControlArea& a, Colour fore, Colour back);
    void PaintVertical(GraphicsContext& gc, const ControlArea& a, Colour fore, Colour back);
    // One step up or down, wrapping at the ends.
    void Step(int direction);

    bool showLabels = true;
    int32_t minimum;
    int32_t maximum;
    int32_t value;
    Colour lineColor = 0x000000;
    bool vertical;
    // Where each tick was drawn at the last paint: clicks are mapped to
    // values through them.
    std::vector<TickPoint> tickPoints;
    ValueHandler onValueChanged = nullptr;
};

}  // namespace lumetra
