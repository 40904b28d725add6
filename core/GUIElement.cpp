// The element base's state, its event handlers and their default operations.
#include "lumetra/core/GUIElement.h"

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "lumetra/core/Log.h"
#include "lumetra/graphics/GraphicsContext.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

ElementWatch::ElementWatch(const GUIElement* e) {
    if (e != nullptr) life_ = e->life_;
}

GUIElement::GUIElement(uint64_t contextValue) : context(contextValue), lastClick(DateTime::Now()) {
    Application::AddElement(this);
}

GUIElement::~GUIElement() = default;

void GUIElement::AssignId(bool asTag) {
    if (id == 0) {
        id = ++Application::lastElementId;
        if (asTag) tag = id;
    }
    if (created) OnAttributesChanged();
}

void GUIElement::SetSize(int32_t w, int32_t h) {
    if (w == width && h == height) return;
    width = w;
    height = h;
    if (created) OnSizeChanged();
}

void GUIElement::SetPosition(int32_t px, int32_t py) {
    x = px;
    y = py;
    if (created) OnPositionChanged();
}

void GUIElement::SetLocation(int32_t px, int32_t py) {
    SetPosition(px < 0 ? 0 : px, py < 0 ? 0 : py);
}

void GUIElement::SetLocationPoint(PackedPoint p) { SetPosition(PointX(p), PointY(p)); }

void GUIElement::SetBackColor(Colour c) {
    backColor = c;
    if (created) Paint();
}

void GUIElement::Show() {
    if (!created) Create();
    visible = true;
}

void GUIElement::ShowWindow() { GUIElement::Show(); }

void GUIElement::Hide() {
    if (created) visible = false;
}

void GUIElement::AttachChild(GUIElement* element) {
    if (created && element != nullptr) OnChildAttached(element);
}

void GUIElement::BringToFront() {
    if (created) OnRaise();
}

void GUIElement::Raise() { BringToFront(); }

void GUIElement::SendToBack() {
    if (created) OnLower();
}

void GUIElement::SetFont(const FontDescriptor& f) {
    font = f;
    if (created) OnAttributesChanged();
}

bool GUIElement::ContainsPoint(PackedPoint p) {
    if (!created || !visible) return false;
    const int32_t px = PointX(p);
    const int32_t py = PointY(p);
    return x <= px && px <= x + width && y <= py && py <= y + height;
}

void GUIElement::MouseUp(PackedPoint p) {
    const ElementWatch alive(this);
    if (onClick) onClick(this, tag, p);
    if (!alive) return;
    const DateTime now = DateTime::Now();
    const bool twice = now.MillisecondsSince(lastClick) <= 999;
    lastClick = now;
    if (twice) DoubleClick(p);
}

void GUIElement::MouseDown(PackedPoint p) {
    if (onMouseDown) onMouseDown(this, tag, p);
}
void GUIElement::DoubleClick(PackedPoint p) {
    if (onDoubleClick) onDoubleClick(this, tag, p);
}
void GUIElement::OtherButtonUp(PackedPoint p) {
    if (onOtherButtonUp) onOtherButtonUp(this, tag, p);
}
void GUIElement::OtherButtonDown(PackedPoint p) {
    if (onOtherButtonDown) onOtherButtonDown(this, tag, p);
}
void GUIElement::AuxPointerEvent(PackedPoint p) {
    if (onAuxPointerEvent) onAuxPointerEvent(this, tag, p);
}
void GUIElement::KeyUp(uint32_t keysym) {
    if (onKeyUp) onKeyUp(this, keysym);
}
void GUIElement::KeyDown(uint32_t keysym) {
    if (onKeyDown) onKeyDown(this, keysym);
}
bool GUIElement::KeyChar(char ch) { return onKeyChar ? onKeyChar(this, ch) : true; }
void GUIElement::MouseMove(int32_t mx, int32_t my) {
    if (onMouseMove) onMouseMove(this, mx, my);
}
void GUIElement::AuxEventA() {
    if (onAuxEventA) onAuxEventA(this);
}
void GUIElement::AuxEventB() {
    if (onAuxEventB) onAuxEventB(this);
}
void GUIElement::Notify() {
    if (onNotify) onNotify(this);
}

void GUIElement::Refresh() {
    if (OverridesSetBackColor()) {
        SetBackColor(static_cast<Colour>(backColor));
    } else if (created) {
        Paint();
    }
    if (onResize) onResize(this);
}

bool GUIElement::QueryClose() { return onQueryClose ? onQueryClose(this) : true; }

void GUIElement::Close() {
    const ElementWatch alive(this);
    if (onClose) onClose(this);
    if (alive) closed = true;
}

void GUIElement::GotFocus() {
    hasFocus = true;
    valueAtFocus = GetValueText();
    if (onGotFocus) onGotFocus(this);
}

void GUIElement::LostFocus() {
    const ElementWatch alive(this);
    hasFocus = false;
    if (onLostFocus) onLostFocus(this);
    if (alive && GetValueText() != valueAtFocus && onChange) onChange(this);
}

void GUIElement::MouseEnter() {
    if (onMouseEnter) onMouseEnter(this);
}
void GUIElement::MouseLeave() {
    if (onMouseLeave) onMouseLeave(this);
}

void GUIElement::Load(uint64_t tagArg) {
    if (tag == 0) tag = tagArg;
    if (loaded) return;
    loaded = true;
    if (onLoad) onLoad(this, tag);
}

void GUIElement::BackColorChanged() {
    if (created) OnBackColorApplied();
}

void GUIElement::SetPrimaryMark(bool on) {
    primaryMark = on;
    if (on) secondaryMark = false;
}

void GUIElement::SetSecondaryMark(bool on) {
    secondaryMark = on;
    if (on) primaryMark = false;
}

PackedPoint GUIElement::PositionInForm() { return Application::GetOffsetInForm(this, x, y); }

Colour GUIElement::BackgroundBehind() {
    if (parent != nullptr && parent->backColor != NoColour)
        return static_cast<Colour>(parent->backColor);
    Form* form = Application::GetParentForm(this);
    if (form != nullptr && form->backColor != NoColour) return static_cast<Colour>(form->backColor);
    return DefaultBackColour;
}

Colour GUIElement::EffectiveBackColor() {
    return backColor != NoColour ? static_cast<Colour>(backColor) : BackgroundBehind();
}

Child::Child(GUIElement* parentElement) {
    isChild = true;
    parent = parentElement;
}

Child::~Child() {
    // A control deleted while on screen leaves what lies behind it, at once.
    if (visible) EraseArea(1);
    Application::RemoveWinForm(this);
}

Form* Child::GetForm() { return Application::GetParentForm(this); }

void Child::CreateControl(bool idAsTag) {
    if (id == 0) {
        id = ++Application::lastElementId;
        if (idAsTag) tag = id;
        if (parent == nullptr)
            Log(elementKind + " " + IntToString(id) + " has no parent: it is never drawn.");
    }
    created = true;
    visible = true;
}

void Child::EraseArea(int32_t extra) {
    Form* form = GetForm();
    if (!created || form == nullptr) return;
    const PackedPoint at = PositionInForm();
    GraphicsContext gc(form);
    gc.FillRectangle(PointX(at), PointY(at), width + extra, height + extra, 0, 0,
                     BackgroundBehind());
}

}  // namespace lumetra
