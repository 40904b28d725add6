// A bare control for exercising the registry and the event loop without the
// toolkit's real controls: it writes what reaches it to one shared trace.
#pragma once

#include <string>

#include "lumetra/core/GUIElement.h"

namespace rig {

// Every probe's events in arrival order, e.g. "a:got a:down form:down a:up ".
inline std::string trace;

class Probe : public lumetra::Child {
public:
    Probe(lumetra::GUIElement* parent, std::string probeName, int px = 0, int py = 0, int w = 50,
          int h = 30, const std::string& kind = "probe")
        : Child(parent), name(std::move(probeName)) {
        elementKind = kind;
        x = px;
        y = py;
        width = w;
        height = h;
    }
    void Create() override { CreateControl(); }
    void MouseDown(lumetra::PackedPoint p) override {
        Note("down");
        Child::MouseDown(p);
    }
    void MouseUp(lumetra::PackedPoint p) override {
        Note("up");
        Child::MouseUp(p);
    }
    void KeyDown(uint32_t k) override {
        Note("keydown");
        Child::KeyDown(k);
    }
    void KeyUp(uint32_t k) override {
        Note("keyup");
        Child::KeyUp(k);
    }
    bool KeyChar(char ch) override {
        Note("char" + std::to_string(ch));
        return Child::KeyChar(ch);
    }
    void GotFocus() override {
        Note("got");
        Child::GotFocus();
    }
    void LostFocus() override {
        Note("lost");
        Child::LostFocus();
    }
    void Note(const std::string& event) const { trace += name + ":" + event + " "; }

    std::string name;
};

}  // namespace rig
