// The panel's painting (frame and caption) and how it shows and hides its children.
#include "lumetra/controls/PanelChildren.h"

#include "lumetra/controls/ControlPaint.h"
#include "lumetra/core/Application.h"
#include "lumetra/graphics/GraphicsContext.h"

namespace lumetra {

PanelChildren::PanelChildren(GUIElement* parentElement) : Control(parentElement) {
    elementKind = "panel";
    tabStop = false;
    autoRepaint = true;
}

void PanelChildren::SetFrame(bool on) {
    frame_ = on;
    outline_ = false;
}

void PanelChildren::SetOutline(bool on) {
    outline_ = on;
    frame_ = true;
}

void PanelChildren::SetSunken(bool on) {
    sunken_ = on;
    frame_ = true;
}

std::vector<GUIElement*> PanelChildren::DirectChildren() {
    std::vector<GUIElement*> out;
    if (id == 0) return out;
    for (GUIElement* e : Application::GetChildren(id)) {
        if (e->GetParent() == this) out.push_back(e);
    }
    return out;
}

bool PanelChildren::GiveChildBackground(GUIElement* child) {
    if (childBackColour_ == NoColour || child->GetBackColor() == childBackColour_) return false;
    child->SetBackColor(childBackColour_);
    return child->IsCreated();
}

void PanelChildren::Show() {
    if (!created) Create();
    Paint();
    // Paint has drawn the children that were on screen; the others are
    // created and drawn by their own Show.
    for (GUIElement* child : DirectChildren()) {
        if (child->IsCreated() && child->IsVisible() && child->IsAutoRepaint()) continue;
        GiveChildBackground(child);
        child->Show();
    }
    // What the base Show does to a created element.
    visible = true;
}

void PanelChildren::Hide() {
    for (GUIElement* child : DirectChildren()) child->Hide();
    Control::Hide();
}

void PanelChildren::Create() { CreateControl(false); }

void PanelChildren::Paint() {
    if (!MayPaint(*this)) return;
    const ControlArea a = AreaInForm(*this);
    const Colour back = EffectiveBackColor();
    {
        GraphicsContext gc(GetForm());
        FillArea(gc, a, back);
        if (frame_ && outline_) {
            gc.DrawRectangle(a.x, a.y, a.w, a.h, 1, 0x000000);
        } else if (frame_) {
            DrawBevel(gc, a, sunken_ ? 0x000000 : 0xFFFFFF, sunken_ ? 0xFFFFFF : 0x000000);
        }
        if (!text.empty() && a.w - 8 >= 1) {
            gc.DrawText(a.x + 4, a.y + 2, a.w - 8, 10, text,
                        captionColour_ == NoColour ? 0x000000 : captionColour_, back, AlignLeft);
        }
    }
    for (GUIElement* child : DirectChildren()) {
        if (!child->IsAutoRepaint() || !child->IsCreated()) continue;
        // Setting the colour repaints the child.
        if (!GiveChildBackground(child)) child->Paint();
    }
}

}  // namespace lumetra
