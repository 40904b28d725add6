#include "rig/TestControls.h"

#include <algorithm>

namespace rig {

Probe::Probe(lumetra::GUIElement* parent, const std::string& kind, int px, int py, int w, int h) : Child(parent) {
    elementKind = kind;
    x = px;
    y = py;
    width = w;
    height = h;
}

void Probe::MouseDown(lumetra::PackedPoint p) {
    lastPoint = p;
    events.push_back("down");
    Child::MouseDown(p);
}
void Probe::MouseUp(lumetra::PackedPoint p) {
    events.push_back("up");
    Child::MouseUp(p);
}
void Probe::KeyDown(uint32_t keysym) {
    events.push_back("keydown");
    Child::KeyDown(keysym);
}
void Probe::KeyUp(uint32_t keysym) {
    events.push_back("keyup");
    Child::KeyUp(keysym);
}
bool Probe::KeyChar(char ch) {
    events.push_back("char:" + std::to_string(static_cast<int>(ch)));
    return Child::KeyChar(ch);
}
void Probe::GotFocus() {
    events.push_back("got");
    Child::GotFocus();
}
void Probe::LostFocus() {
    events.push_back("lost");
    Child::LostFocus();
}

int Probe::Count(const std::string& event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }

}  // namespace rig
