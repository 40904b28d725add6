// A control that shows one X image (not owned) at its own size, optionally
// with a sunken 1-pixel frame; without an image it shows the background
// behind it.
#pragma once

#include "lumetra/core/GUIElement.h"
#include "lumetra/core/XTypes.h"

namespace lumetra {

class MyImage : public Child {
public:
    MyImage(GUIElement* parent, XImage* image);

    void SetSize(int32_t w, int32_t h) override;
    void SetPosition(int32_t px, int32_t py) override;
    void Show() override;
    void ShowWindow() override;
    void Hide() override;
    void Paint() override;
    void Create() override;

    virtual void SetImage(XImage* image);
    virtual void SetBorder(bool on);
    virtual void Enable(bool on);

    XImage* GetImage() const { return image_; }
    bool HasBorder() const { return border_; }

private:
    XImage* image_ = nullptr;
    bool border_ = false;
};

}  // namespace lumetra
