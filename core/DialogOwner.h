// The modal protocol between a dialog and the form that opened it: while the
// dialog holds its owner, the owner is disabled (the loop then gives it only
// its own presses, never its controls'), marked, and names the dialog as its
// active one. There is no modal loop; the dialog reports back through the
// owner's operations.
#pragma once

namespace lumetra {

class Form;

class DialogOwner {
public:
    // A null owner holds nothing.
    void Hold(Form* owner, Form* dialog);
    // Gives the owner back, once only: a late second release must not enable
    // an owner that another dialog has disabled meanwhile. With forget, the
    // owner also stops naming the dialog as its active one.
    void Release(bool forget);
    // The owner stops naming the dialog, if it still does.
    void Forget();

private:
    // The owner, while it still exists.
    Form* LiveOwner() const;

    Form* owner_ = nullptr;
    Form* dialog_ = nullptr;
    bool held_ = false;
};

}  // namespace lumetra
