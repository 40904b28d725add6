// The control gallery: one window with every control of the toolkit, to look
// at and to try with the mouse and the keyboard. Built with the project, not
// installed.
#include <memory>

#include "GalleryForm.h"
#include "core/Application.h"
#include "core/Log.h"
#include "core/Screen.h"

int main() {
    auto screen = std::make_unique<lumetra::Screen>();
    if (screen->GetDisplay() == nullptr) return 1;
    auto gallery = std::make_unique<lumetra::GalleryForm>(screen.get());
    lumetra::Application::Run(gallery.get());
    gallery.reset();
    if (!screen->Close()) lumetra::Log("Chiusura screen non riuscita");
    return 0;
}
