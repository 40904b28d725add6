// Minimal elements for exercising the registry and the event loop without
// the toolkit's real controls: they record what reaches them.
#pragma once

#include <string>
#include <vector>

#include "core/GUIElement.h"

namespace rig {

// A control that counts its events; kind "panel" makes it a container.
class Probe : public lumetra::Child {
public:
    explicit Probe(lumetra::GUIElement* parent, const std::string& kind = "probe", int x = 0, int y = 0, int w = 50,
                   int h = 30);
    void Create() override { CreateControl(); }
    void MouseDown(lumetra::PackedPoint p) override;
    void MouseUp(lumetra::PackedPoint p) override;
    void KeyDown(uint32_t keysym) override;
    void KeyUp(uint32_t keysym) override;
    bool KeyChar(char ch) override;
    void GotFocus() override;
    void LostFocus() override;

    // Events in arrival order, e.g. "down", "up", "keydown", "char:13", "got", "lost".
    std::vector<std::string> events;
    int Count(const std::string& event) const;
    // Point of the last MouseDown.
    lumetra::PackedPoint lastPoint = 0;
};

}  // namespace rig
