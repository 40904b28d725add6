// The toolkit's audible alert, sounded when a control refuses input (a text
// box given a letter where only digits go, for instance). The toolkit has no
// sound of its own: the program installs the function that makes the sound,
// and until it does the alert is silent.
#pragma once

namespace lumetra {

using AlertFunction = void (*)();

// Null makes the alert silent again.
void SetAlertFunction(AlertFunction function);
AlertFunction GetAlertFunction();
void SoundAlert();

}  // namespace lumetra
