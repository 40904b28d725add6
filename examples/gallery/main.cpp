// The control gallery: one window with every control of the toolkit, to look
// at and to try with the mouse and the keyboard. Built with the project, not
// installed; it includes the toolkit as any program using it would.
#include <lumetra/core/Application.h>
#include <lumetra/core/Log.h>
#include <lumetra/core/Screen.h>

#include <memory>

#include "GalleryForm.h"

int main() {
    auto screen = std::make_unique<lumetra::Screen>();
    if (screen->GetDisplay() == nullptr) return 1;
    auto gallery = std::make_unique<lumetra::GalleryForm>(screen.get());
    lumetra::Application::Run(gallery.get());
    gallery.reset();
    if (!screen->Close()) lumetra::Log("Chiusura screen non riuscita");
    return 0;
}
