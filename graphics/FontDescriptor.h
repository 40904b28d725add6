// A wished-for core X font (family, pixel size, style) that is loaded on
// first use and freed with the descriptor.
#pragma once

#include <cstdint>
#include <string>

#include "lumetra/core/XTypes.h"

namespace lumetra {

class FontDescriptor {
public:
    FontDescriptor() = default;
    explicit FontDescriptor(std::string family) : family_(std::move(family)) {}
    FontDescriptor(std::string family, int32_t size) : family_(std::move(family)), size_(size) {}
    ~FontDescriptor();
    // A copy takes the settings, never the loaded font: each descriptor loads
    // and frees its own.
    FontDescriptor(const FontDescriptor& other);
    FontDescriptor& operator=(const FontDescriptor& other);

    // The loaded font, loading it first if needed; null when nothing loads.
    // It is an XFontStruct* of <X11/Xlib.h>, an unnamed structure that cannot
    // be declared here without Xlib's macros.
    void* GetFontStruct(Display* display);
    void LoadFont(Display* display);
    std::string BuildFontName();
    // The loaded font's ascent, else the configured size.
    int32_t Size() const;

    const std::string& Family() const { return family_; }
    int32_t ConfiguredSize() const { return size_; }
    bool Bold() const { return bold_; }
    bool Italic() const { return italic_; }
    const std::string& Name() const { return name_; }
    void SetFamily(std::string family) { family_ = std::move(family); }
    void SetSize(int32_t size) { size_ = size; }
    void SetBold(bool bold) { bold_ = bold; }
    void SetItalic(bool italic) { italic_ = italic; }

private:
    void Free();

    void* font_ = nullptr;
    bool loaded_ = false;
    Display* display_ = nullptr;
    std::string family_;
    int32_t size_ = 14;
    bool bold_ = false;
    bool italic_ = false;
    std::string name_;
};

}  // namespace lumetra
