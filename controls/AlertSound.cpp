// The alert function a program installs, and sounding it.
#include "lumetra/controls/AlertSound.h"

namespace lumetra {

namespace {
AlertFunction alert = nullptr;
}  // namespace

void SetAlertFunction(AlertFunction function) { alert = function; }

AlertFunction GetAlertFunction() { return alert; }

void SoundAlert() {
    if (alert != nullptr) alert();
}

}  // namespace lumetra
