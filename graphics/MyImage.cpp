// The image control's painting: its picture, or the background, and its frame.
#include "lumetra/graphics/MyImage.h"

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

MyImage::MyImage(GUIElement* parent, XImage* image) : Child(parent), image_(image) {
    elementKind = "image";
    // Its form repaints it on Expose, or the picture would vanish whenever the
    // window is uncovered.
    autoRepaint = true;
}

void MyImage::SetImage(XImage* image) {
    image_ = image;
    if (created) Paint();
}

void MyImage::SetBorder(bool on) {
    border_ = on;
    if (created) Paint();
}

void MyImage::Enable(bool on) { enabled = on; }

void MyImage::Show() {
    GUIElement::Show();
    Paint();
}

void MyImage::ShowWindow() {
    GUIElement::ShowWindow();
    Paint();
}

void MyImage::Hide() {
    if (created) EraseArea(1);
    GUIElement::Hide();
    created = false;
}

void MyImage::SetSize(int32_t w, int32_t h) {
    if (!created) {
        width = w;
        height = h;
        return;
    }
    Hide();
    width = w;
    height = h;
    Show();
}

void MyImage::SetPosition(int32_t px, int32_t py) {
    if (!created) {
        x = px;
        y = py;
        return;
    }
    Hide();
    x = px;
    y = py;
    Show();
}

void MyImage::Create() { CreateControl(); }

void MyImage::Paint() {
    if (Application::formLoading || !created) return;
    GraphicsContext gc(GetForm());
    const PackedPoint at = PositionInForm();
    const int px = PointX(at);
    const int py = PointY(at);
    const int w = width;
    const int h = height;
    if (image_ != nullptr) {
        gc.PutImage(px, py, w, h, image_);
    } else {
        gc.FillRectangle(px, py, w, h, 0, 0, BackgroundBehind());
    }
    if (border_) {
        gc.DrawLine(px, py, px + w - 1, py, 1, 0x000000);
        gc.DrawLine(px, py + h - 1, px, py, 1, 0x000000);
        gc.DrawLine(px + w - 1, py, px + w - 1, py + h - 1, 1, 0xFFFFFF);
        gc.DrawLine(px, py + h - 1, px + w - 1, py + h - 1, 1, 0xFFFFFF);
    }
}

}  // namespace lumetra
