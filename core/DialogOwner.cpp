// A dialog's hold on its owner form: taken when it opens, given back once.
#include "lumetra/core/DialogOwner.h"

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"

namespace lumetra {

void DialogOwner::Hold(Form* owner, Form* dialog) {
    owner_ = owner;
    dialog_ = dialog;
    if (dialog != nullptr) dialog->SetOwnerForm(owner);
    if (owner == nullptr) return;
    owner->SetEnabled(false);
    owner->SetPrimaryMark(true);
    owner->SetActiveDialog(dialog);
    held_ = true;
}

void DialogOwner::Release(bool forget) {
    if (forget) Forget();
    if (!held_) return;
    held_ = false;
    if (Form* owner = LiveOwner()) {
        owner->SetEnabled(true);
        owner->SetPrimaryMark(false);
    }
}

void DialogOwner::Forget() {
    Form* owner = LiveOwner();
    if (owner != nullptr && owner->GetActiveDialog() == dialog_) owner->SetActiveDialog(nullptr);
}

Form* DialogOwner::LiveOwner() const { return Application::IsLiveForm(owner_) ? owner_ : nullptr; }

}  // namespace lumetra
