// A bare control for exercising the registry and the event loop without the
// toolkit's real controls, and the handlers that write what reaches an
// element to one shared trace.
#pragma once

#include <string>

#include "lumetra/core/GUIElement.h"

namespace rig {

// Every recorded element's events in arrival order, e.g. "a:got a:down form:down a:up ".
inline std::string trace;

// True, so that it can be a KeyChar handler's answer too.
inline bool Note(lumetra::GUIElement* e, const std::string& event) {
    trace += e->GetName() + ":" + event + " ";
    return true;
}

// Through the element's own handlers: what reaches them is what a program sees.
inline void Record(lumetra::GUIElement& e, const std::string& name) {
    using lumetra::GUIElement;
    using lumetra::PackedPoint;
    e.SetName(name);
    e.SetOnMouseDown([](GUIElement* s, uint64_t, PackedPoint) { Note(s, "down"); });
    e.SetOnClick([](GUIElement* s, uint64_t, PackedPoint) { Note(s, "up"); });
    e.SetOnOtherButtonDown([](GUIElement* s, uint64_t, PackedPoint) { Note(s, "other-down"); });
    e.SetOnOtherButtonUp([](GUIElement* s, uint64_t, PackedPoint) { Note(s, "other-up"); });
    e.SetOnKeyDown([](GUIElement* s, uint32_t) { Note(s, "keydown"); });
    e.SetOnKeyUp([](GUIElement* s, uint32_t) { Note(s, "keyup"); });
    e.SetOnKeyChar([](GUIElement* s, char ch) { return Note(s, "char" + std::to_string(ch)); });
    e.SetOnGotFocus([](GUIElement* s) { Note(s, "got"); });
    e.SetOnLostFocus([](GUIElement* s) { Note(s, "lost"); });
    e.SetOnMouseEnter([](GUIElement* s) { Note(s, "enter"); });
    e.SetOnMouseLeave([](GUIElement* s) { Note(s, "leave"); });
}

class Probe : public lumetra::Child {
public:
    Probe(lumetra::GUIElement* parent, const std::string& name, int px = 0, int py = 0, int w = 50,
          int h = 30, const std::string& kind = "probe")
        : Child(parent) {
        Record(*this, name);
        elementKind = kind;
        SetPosition(px, py);
        SetSize(w, h);
    }
    void Create() override { CreateControl(); }
};

}  // namespace rig
