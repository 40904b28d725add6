// A horizontal bar that shows a whole number between a minimum and a maximum
// as a blue fill growing from the left, inside an optional sunken frame. It
// takes no input.
#pragma once

#include "lumetra/controls/Control.h"

namespace lumetra {

class ProgressBar : public Control {
public:
    ProgressBar(GUIElement* parentElement, int32_t minimumValue, int32_t maximumValue);

    // Clamped to minimum..maximum; repaints only when the value changes.
    void SetValue(int32_t v);
    int32_t GetValue() const { return value_; }
    void SetFramed(bool on);
    bool IsFramed() const { return framed_; }

    // The bar stays created: only its visibility keeps it from painting.
    void Hide() override;
    void Paint() override;
    // Keeps its tag when it takes its id.
    void Create() override;

private:
    int32_t minimum_;
    int32_t maximum_;
    int32_t value_;
    bool framed_ = true;
};

}  // namespace lumetra
