// A top-level window: the only kind of element that owns an X window. It
// hosts the controls whose parent it is and repaints them on Expose.
#pragma once

#include <string>

#include "lumetra/core/GUIElement.h"
#include "lumetra/core/XTypes.h"

namespace lumetra {

class Screen;

class Form : public GUIElement {
public:
    explicit Form(uint64_t contextValue = 0, bool dialog = false);
    ~Form() override;

    int32_t GetWidth() override;
    int32_t GetActualWidth() override;
    int32_t GetHeight() override;
    int32_t GetActualHeight() override;
    PackedPoint GetPosition() override;
    void SetBackColor(Colour c) override;
    void Show() override;
    void ShowWindow() override;
    void Hide() override;
    void SetFocus() override;
    void Paint() override;
    void SetPrimaryMark(bool on) override;
    void Create() override;

    virtual void FormHook1() {}
    virtual void FormHook2() {}
    virtual std::string GetTitle() { return GetValueText(); }
    virtual void SetTitle(const std::string& title);
    virtual std::string GetTitleText() { return GetValueText(); }
    virtual void SetTitleText(const std::string& title) { SetTitle(title); }
    virtual void OnBeforeMap() {}
    virtual void FormHook3() {}
    virtual void DestroyWindow();
    virtual void DialogResult(int32_t /*dialogId*/, int32_t /*result*/) {}
    virtual bool IsDialog() { return isDialog; }
    virtual void SetIcon(Pixmap pixmap);
    virtual void SetClientSizeAdjusted(int32_t w, int32_t h) { SetClientSize(w, h, true); }
    virtual void SetClientSize(int32_t w, int32_t h, bool adjustPosition);
    virtual void SetActiveDialog(Form* dialog) { activeDialog = dialog; }
    virtual void SetBounds(int32_t bx, int32_t by, int32_t w, int32_t h);
    virtual void SetScreen(Screen* s) { screen = s; }
    virtual Screen* GetScreen() { return screen; }
    virtual void CenterOnScreen();
    virtual void FormOpen();
    virtual void OpenWindow() { FormOpen(); }
    virtual Window GetWindow() { return window; }
    virtual void SetSecondaryMarkOn();
    virtual void SetSecondaryMarkOff();

    // Closes the form from code exactly as the window manager's close request
    // does: QueryClose is asked; a secondary form that agrees loses its
    // window (DestroyWindow) and is closed (Close), so that an owner waiting
    // on it as a dialog hears what it would hear after the window manager's
    // close, and it can be shown again later. The main form, the one the loop
    // runs, is only asked: its close handler decides whether the program ends
    // (by setting Application::quitRequested). Answers whether the form closed.
    bool RequestClose();
    // Raises the form and gives it the keyboard, as a careful ICCCM client
    // does: only a viewable window whose input hint does not decline input,
    // with the time of the user's action that asked for it.
    void Activate();
    // The form a dialog belongs to: its window is marked transient for the
    // owner's, so that window managers keep the two together.
    void SetOwnerForm(Form* owner) { ownerForm_ = owner; }
    // Another client destroyed the window: the form lets go of it without a
    // request on it, as if it had been destroyed here.
    void LoseWindow();

    Form* GetActiveDialog() const { return activeDialog; }
    Atom GetDeleteAtom() const { return deleteAtom; }
    Display* GetDisplay();

protected:
    void OnPositionChanged() override;
    void OnSizeChanged() override;
    void OnRaise() override;
    void OnLower() override;
    bool OverridesSetBackColor() override { return true; }

    Form* activeDialog = nullptr;
    Atom deleteAtom = 0;
    Pixmap icon = 0;
    Screen* screen = nullptr;
    Window window = 0;
    bool isDialog = false;
    Form* ownerForm_ = nullptr;

private:
    // The window's size as the server has it when created, else the stored one.
    PackedPoint ActualSize();
    void SetWindowProperties();
    void ReleaseWindow();
    void RememberPlace();
};

}  // namespace lumetra
