// The root of every form, control and timer, and Child, the base of every
// element placed inside a form.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "lumetra/core/DateTime.h"
#include "lumetra/core/Types.h"
#include "lumetra/graphics/FontDescriptor.h"

namespace lumetra {

class GUIElement;

// Plain function pointers stored in an element and called with the element as
// sender; a null handler is skipped.
using EventHandler = void (*)(GUIElement* sender);
using TagHandler = void (*)(GUIElement* sender, uint64_t tag);
using PointHandler = void (*)(GUIElement* sender, uint64_t tag, PackedPoint point);
using KeyHandler = void (*)(GUIElement* sender, uint32_t keysym);
using KeyCharHandler = bool (*)(GUIElement* sender, char ch);
using QueryHandler = bool (*)(GUIElement* sender);
using MoveHandler = void (*)(GUIElement* sender, int32_t x, int32_t y);

// Whether an element outlived a call into a program's code. Any handler may
// delete any element, its own included, with a plain delete or reset(): the
// toolkit watches an element across such a call and touches it afterwards
// only while it is still there.
class ElementWatch {
public:
    explicit ElementWatch(const GUIElement* e);
    explicit operator bool() const { return !life_.expired(); }

private:
    std::weak_ptr<const char> life_;
};

class GUIElement {
public:
    explicit GUIElement(uint64_t context = 0);
    virtual ~GUIElement();
    GUIElement(const GUIElement&) = delete;
    GUIElement& operator=(const GUIElement&) = delete;

    const std::string& GetKind() const { return elementKind; }
    uint32_t GetId() const { return id; }
    GUIElement* GetParent() const { return parent; }
    uint64_t GetContext() const { return context; }
    uint64_t GetTag() const { return tag; }
    bool IsClosed() const { return closed; }
    bool HasFocus() const { return hasFocus; }
    // Takes the next id from the application's counter if there is none yet;
    // forms and most controls also take it as their tag.
    void AssignId(bool asTag = true);

    void SetOnLoad(TagHandler h) { onLoad = h; }
    void SetOnClick(PointHandler h) { onClick = h; }
    void SetOnMouseDown(PointHandler h) { onMouseDown = h; }
    void SetOnDoubleClick(PointHandler h) { onDoubleClick = h; }
    void SetOnOtherButtonUp(PointHandler h) { onOtherButtonUp = h; }
    void SetOnOtherButtonDown(PointHandler h) { onOtherButtonDown = h; }
    void SetOnAuxPointerEvent(PointHandler h) { onAuxPointerEvent = h; }
    void SetOnKeyUp(KeyHandler h) { onKeyUp = h; }
    void SetOnKeyDown(KeyHandler h) { onKeyDown = h; }
    void SetOnKeyChar(KeyCharHandler h) { onKeyChar = h; }
    void SetOnNotify(EventHandler h) { onNotify = h; }
    void SetOnResize(EventHandler h) { onResize = h; }
    void SetOnQueryClose(QueryHandler h) { onQueryClose = h; }
    void SetOnClose(EventHandler h) { onClose = h; }
    void SetOnGotFocus(EventHandler h) { onGotFocus = h; }
    void SetOnLostFocus(EventHandler h) { onLostFocus = h; }
    void SetOnMouseEnter(EventHandler h) { onMouseEnter = h; }
    void SetOnMouseLeave(EventHandler h) { onMouseLeave = h; }
    void SetOnChange(EventHandler h) { onChange = h; }
    void SetOnMouseMove(MoveHandler h) { onMouseMove = h; }
    void SetOnAuxEventA(EventHandler h) { onAuxEventA = h; }
    void SetOnAuxEventB(EventHandler h) { onAuxEventB = h; }

    virtual int32_t GetWidth() { return width; }
    virtual int32_t GetActualWidth() { return width; }
    virtual int32_t GetHeight() { return height; }
    virtual int32_t GetActualHeight() { return height; }
    virtual PackedPoint GetPosition() { return PackPoint(x, y); }
    virtual PackedPoint GetSize() { return PackPoint(width, height); }
    virtual PackedPoint GetClientSize() { return PackPoint(width, height); }
    virtual void SetSize(int32_t w, int32_t h);
    virtual void SetPosition(int32_t px, int32_t py);
    virtual void SetLocation(int32_t px, int32_t py);
    virtual void SetLocationPoint(PackedPoint p);
    virtual void SetBackColor(Colour c);
    virtual Colour GetBackColor() { return static_cast<Colour>(backColor); }
    virtual void Show();
    virtual void ShowWindow();
    virtual void Hide();
    virtual bool IsVisible() { return visible; }
    virtual bool IsCreated() { return created; }
    virtual void Idle() {}
    virtual void SetEnabled(bool on) { enabled = on; }
    virtual bool IsEnabled() { return enabled; }
    virtual void AttachChild(GUIElement* element);
    virtual void BringToFront();
    virtual void Raise();
    virtual void SendToBack();
    virtual void SetName(const std::string& n) { name = n; }
    virtual std::string GetName() { return name; }
    virtual void SetFont(const FontDescriptor& f);
    virtual FontDescriptor& GetFont() { return font; }
    virtual bool IsTabStop() { return tabStop; }
    virtual bool IsAutoRepaint() { return autoRepaint; }
    virtual bool IsChild() { return isChild; }
    virtual bool ContainsPoint(PackedPoint p);
    virtual void SetText(const std::string& t) { text = t; }
    virtual std::string GetText() { return text; }
    virtual std::string GetValueText() { return GetText(); }
    virtual void MouseUp(PackedPoint p);
    virtual void MouseDown(PackedPoint p);
    virtual void DoubleClick(PackedPoint p);
    virtual void OtherButtonUp(PackedPoint p);
    virtual void OtherButtonDown(PackedPoint p);
    virtual void AuxPointerEvent(PackedPoint p);
    virtual void KeyUp(uint32_t keysym);
    virtual void KeyDown(uint32_t keysym);
    virtual bool KeyChar(char ch);
    virtual void MouseMove(int32_t mx, int32_t my);
    virtual void AuxEventA();
    virtual void AuxEventB();
    virtual void SetFocus() { hasFocus = true; }
    virtual void Notify();
    virtual void Refresh();
    virtual void Paint() {}
    virtual bool QueryClose();
    virtual void Close();
    virtual void GotFocus();
    virtual void LostFocus();
    virtual void MouseEnter();
    virtual void MouseLeave();
    virtual void Load(uint64_t tagArg);
    virtual void BackColorChanged();
    virtual bool IsPrimaryMark() { return primaryMark; }
    virtual bool IsSecondaryMark() { return secondaryMark; }
    virtual void SetPrimaryMark(bool on);
    virtual void SetSecondaryMark(bool on);
    virtual void UserHook() {}
    virtual uint64_t& GetTagRef() { return tag; }
    virtual void Create() = 0;

protected:
    // Hooks through which a subclass puts a change on screen; called only
    // while the element is created.
    virtual void OnPositionChanged() {}
    virtual void OnSizeChanged() {}
    virtual void OnBackColorApplied() {}
    virtual void OnRaise() {}
    virtual void OnLower() {}
    virtual void OnChildAttached(GUIElement*) {}
    virtual void OnAttributesChanged() {}
    // Refresh re-applies the colour instead of painting when SetBackColor is
    // overridden (forms do).
    virtual bool OverridesSetBackColor() { return false; }

public:
    // Where the element paints in its form's window: its own position plus the
    // positions of the panels it sits in.
    PackedPoint PositionInForm();
    // The background behind the element: its parent's colour, else its form's,
    // else the default grey.
    Colour BackgroundBehind();
    // The element's own colour, else BackgroundBehind.
    Colour EffectiveBackColor();

    std::string elementKind;
    bool isChild = false;
    bool tabStop = true;
    bool autoRepaint = false;
    bool visible = false;
    bool closed = false;
    bool primaryMark = false;
    bool secondaryMark = false;
    uint64_t tag = 0;
    uint64_t context = 0;
    FontDescriptor font;
    int32_t width = 100;
    int32_t height = 50;
    int32_t x = 100;
    int32_t y = 100;
    bool created = false;
    int64_t backColor = NoColour;
    bool enabled = true;
    uint32_t id = 0;
    std::string name;
    std::string text;
    std::string valueAtFocus;
    GUIElement* parent = nullptr;
    bool loaded = false;
    bool hasFocus = false;
    DateTime lastClick;

    TagHandler onLoad = nullptr;
    PointHandler onClick = nullptr;
    PointHandler onMouseDown = nullptr;
    PointHandler onDoubleClick = nullptr;
    PointHandler onOtherButtonUp = nullptr;
    PointHandler onOtherButtonDown = nullptr;
    PointHandler onAuxPointerEvent = nullptr;
    KeyHandler onKeyUp = nullptr;
    KeyHandler onKeyDown = nullptr;
    KeyCharHandler onKeyChar = nullptr;
    EventHandler onNotify = nullptr;
    EventHandler onResize = nullptr;
    QueryHandler onQueryClose = nullptr;
    EventHandler onClose = nullptr;
    EventHandler onGotFocus = nullptr;
    EventHandler onLostFocus = nullptr;
    EventHandler onMouseEnter = nullptr;
    EventHandler onMouseLeave = nullptr;
    EventHandler onChange = nullptr;
    MoveHandler onMouseMove = nullptr;
    EventHandler onAuxEventA = nullptr;
    EventHandler onAuxEventB = nullptr;

private:
    friend class ElementWatch;
    // Expires with the element: what an ElementWatch looks at.
    std::shared_ptr<const char> life_ = std::make_shared<const char>('\0');
};

class Form;

// Every element placed inside a form.
class Child : public GUIElement {
public:
    explicit Child(GUIElement* parentElement);
    ~Child() override;

    // The form this control paints on (walking up through panels); null when
    // the chain ends without one.
    Form* GetForm();

protected:
    // The create step every control shares: an id (and tag, unless asked not
    // to) on first creation, then created and visible.
    void CreateControl(bool idAsTag = true);
    // Paints the control's rectangle over with the background behind it; the
    // extra pixel covers the right and bottom edges where a control's own fill
    // stops one short.
    void EraseArea(int32_t extra);
};

}  // namespace lumetra
