// The toolkit's container: a rectangle on a form, filled with its background,
// optionally framed and captioned, on which other controls are placed by
// giving the panel as their parent. The panel keeps no list of its children:
// it asks the application's registry for them whenever it needs them.
#pragma once

#include <vector>

#include "lumetra/controls/Control.h"

namespace lumetra {

class PanelChildren : public Control {
public:
    explicit PanelChildren(GUIElement* parentElement);

    // frame on, outline off
    void SetFrame(bool on);
    // a plain black rectangle instead of the two-tone frame; turns the frame on
    void SetOutline(bool on);
    // dark above and left when on, the reverse when off; turns the frame on
    void SetSunken(bool on);
    // NoColour draws the caption black
    void SetCaptionColour(Colour c) { captionColour_ = c; }
    // When set, every child takes it as its background before it paints.
    void SetChildBackColour(Colour c) { childBackColour_ = c; }

    bool HasFrame() const { return frame_; }
    bool HasOutline() const { return outline_; }
    bool IsSunken() const { return sunken_; }

    // Creates the panel if needed, paints it with the children it shows
    // and shows the others.
    void Show() override;
    // The children first, then the panel.
    void Hide() override;
    void Paint() override;
    // Keeps its tag when it takes its id.
    void Create() override;

protected:
    // The controls placed directly on this panel (a nested panel looks after
    // its own), in registry order.
    std::vector<GUIElement*> DirectChildren();

private:
    // Gives the child the panel's child background when one is set; true
    // when that repainted the child.
    bool GiveChildBackground(GUIElement* child);

    bool frame_ = false;
    bool outline_ = false;
    bool sunken_ = true;
    Colour captionColour_ = NoColour;
    Colour childBackColour_ = NoColour;
};

}  // namespace lumetra
