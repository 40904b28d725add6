// Loading a described core X font on first use, and its metrics.
#include "lumetra/graphics/FontDescriptor.h"

#include <X11/Xlib.h>

#include "lumetra/core/Log.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

namespace {
XFontStruct* AsFont(void* font) { return static_cast<XFontStruct*>(font); }
}  // namespace

FontDescriptor::~FontDescriptor() { Free(); }

FontDescriptor::FontDescriptor(const FontDescriptor& other)
    : family_(other.family_),
      size_(other.size_),
      bold_(other.bold_),
      italic_(other.italic_),
      name_(other.name_) {}

FontDescriptor& FontDescriptor::operator=(const FontDescriptor& other) {
    if (this != &other) {
        Free();
        display_ = nullptr;
        family_ = other.family_;
        size_ = other.size_;
        bold_ = other.bold_;
        italic_ = other.italic_;
        name_ = other.name_;
    }
    return *this;
}

void FontDescriptor::Free() {
    if (loaded_ && font_ != nullptr && display_ != nullptr) XFreeFont(display_, AsFont(font_));
    font_ = nullptr;
    loaded_ = false;
}

void* FontDescriptor::GetFontStruct(Display* display) {
    if (font_ == nullptr) LoadFont(display);
    return font_;
}

std::string FontDescriptor::BuildFontName() {
    std::string n = family_.empty() ? "-*-*-" : "-" + family_ + "-";
    n += bold_ ? "Bold-R-" : "Medium-R-";
    n += italic_ ? "Italic--" : "Normal--";
    n += IntToString(Size());
    n += "-*";
    name_ = n;
    return n;
}

int32_t FontDescriptor::Size() const {
    return loaded_ && font_ != nullptr ? AsFont(font_)->ascent : size_;
}

void FontDescriptor::LoadFont(Display* display) {
    Free();
    display_ = display;
    BuildFontName();
    if (display == nullptr) return;
    font_ = XLoadQueryFont(display, name_.c_str());
    if (font_ == nullptr) {
        Log("XLoadQueryFont failed");
        // A server without the wished-for font still has "fixed"; text is
        // then drawn in it rather than not at all.
        font_ = XLoadQueryFont(display, "fixed");
        if (font_ == nullptr) return;
    }
    loaded_ = true;
}

}  // namespace lumetra
