// The base of the toolkit's controls: how they show, hide, move and resize.
// Shown, a control paints at once. Hidden, its rectangle is painted over with
// what lies behind it and it is no longer created, so the next Show makes and
// paints it afresh. Moved or resized while on screen, it is hidden where it
// was and shown where it now stands; off screen it only takes the values.
#pragma once

#include <cstdint>

#include "lumetra/core/GUIElement.h"

namespace lumetra {

class Control : public Child {
public:
    // Nothing happens when the size is the current one.
    void SetSize(int32_t w, int32_t h) override;
    void SetPosition(int32_t px, int32_t py) override;
    void Show() override;
    void ShowWindow() override;
    void Hide() override;
    // An id from the application's counter, taken as the tag too.
    void Create() override;
    // A control that shows the focus repaints when it gets or loses it.
    void GotFocus() override;
    void LostFocus() override;

protected:
    explicit Control(GUIElement* parentElement) : Child(parentElement) {}

    // Set by the controls that draw a focus mark.
    bool showsFocus_ = false;
    // How such a control repaints when the focus comes or goes.
    virtual void PaintFocus() { Paint(); }

    // Stores a value the control shows and repaints (when it may).
    template <typename T>
    void SetAndPaint(T& field, T value) {
        field = value;
        Paint();
    }

private:
    void Replace(int32_t px, int32_t py, int32_t w, int32_t h);
};

}  // namespace lumetra
