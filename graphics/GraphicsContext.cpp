// The drawing context's lines, shapes and text on a form's window.
#include "lumetra/graphics/GraphicsContext.h"

#include <X11/Xlib.h>

#include <map>
#include <vector>

#include "lumetra/core/Application.h"
#include "lumetra/core/Form.h"
#include "lumetra/core/Log.h"
#include "lumetra/core/Screen.h"
#include "lumetra/graphics/FontDescriptor.h"
#include "lumetra/graphics/TextLayout.h"
#include "lumetra/util/Strings.h"

namespace lumetra {

FontDescriptor& ApplicationFont() {
    static FontDescriptor fallback;
    if (Application::forms.empty()) return fallback;
    return Application::forms.front()->GetFont();
}

namespace {

// Character widths per loaded font, so measuring a text never asks more than
// once per font.
const CharWidths& WidthsOf(XFontStruct* font) {
    static std::map<Font, CharWidths> cache;
    auto it = cache.find(font->fid);
    if (it != cache.end()) return it->second;
    CharWidths w{};
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        w[static_cast<size_t>(c)] = XTextWidth(font, &ch, 1);
    }
    return cache.emplace(font->fid, w).first->second;
}

int LineStep(XFontStruct* font) { return font->ascent > 15 ? font->ascent + 1 : 15; }

// The application font loaded on the display, or null.
XFontStruct* FontOn(Display* d) {
    return d != nullptr ? static_cast<XFontStruct*>(ApplicationFont().GetFontStruct(d)) : nullptr;
}

std::vector<XPoint> ToX(const Point* points, int count) {
    std::vector<XPoint> out;
    out.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) out.push_back({points[i].x, points[i].y});
    return out;
}

}  // namespace

GraphicsContext::GraphicsContext(Form* owner) : owner_(owner) {
    if (owner_ == nullptr && !Application::forms.empty())
        owner_ = static_cast<Form*>(Application::forms.front());
    if (owner_ == nullptr || owner_->GetScreen() == nullptr) return;
    display_ = owner_->GetScreen()->GetDisplay();
    window_ = owner_->GetWindow();
    if (display_ == nullptr || window_ == 0) return;
    XGCValues values{};
    gc_ = XCreateGC(display_, window_, GCCapStyle | GCJoinStyle, &values);
    if (gc_ == nullptr) {
        Log("Errore nella creazione del GC");
        return;
    }
    const int sn = owner_->GetScreen()->GetScreenNumber();
    XSetForeground(display_, gc_, WhitePixel(display_, sn));
    XSetBackground(display_, gc_, BlackPixel(display_, sn));
    XSetFillStyle(display_, gc_, FillSolid);
    XSetLineAttributes(display_, gc_, 1, LineSolid, CapRound, JoinRound);
    if (XFontStruct* font = FontOn(display_)) XSetFont(display_, gc_, font->fid);
}

GraphicsContext::~GraphicsContext() {
    if (gc_ != nullptr) XFreeGC(display_, gc_);
}

void GraphicsContext::SetColour(Colour c) {
    if (c != NoColour) XSetForeground(display_, gc_, static_cast<unsigned long>(c));
}

void GraphicsContext::Flush() {
    if (deferred_ == 0) XFlush(display_);
}

GraphicsContext::FlushOnce::FlushOnce(Display* display) : display_(display) { ++deferred_; }

GraphicsContext::FlushOnce::~FlushOnce() {
    if (--deferred_ == 0 && display_ != nullptr) XFlush(display_);
}

void GraphicsContext::DrawPoint(int x, int y, Colour colour) {
    if (!gc_) return;
    XSetForeground(display_, gc_, static_cast<unsigned long>(colour));
    XDrawPoint(display_, window_, gc_, x, y);
    Flush();
}

void GraphicsContext::DrawLines(const Point* points, int count, int /*width*/, Colour colour) {
    if (!gc_ || points == nullptr || count < 1) return;
    SetColour(colour);
    std::vector<XPoint> xs = ToX(points, count);
    XDrawLines(display_, window_, gc_, xs.data(), count, CoordModeOrigin);
    Flush();
}

void GraphicsContext::FillPolygon(const Point* points, int count, int borderWidth,
                                  Colour borderColour, Colour fillColour) {
    if (!gc_ || points == nullptr || count < 1) return;
    SetColour(fillColour);
    std::vector<XPoint> xs = ToX(points, count);
    XFillPolygon(display_, window_, gc_, xs.data(), count, Complex, CoordModeOrigin);
    Flush();
    if (borderWidth > 0) DrawLines(points, count, borderWidth, borderColour);
}

void GraphicsContext::DrawRectangle(int x, int y, int w, int h, int lineWidth, Colour colour) {
    if (!gc_ || w < 1 || h < 1) return;
    SetColour(colour);
    if (lineWidth > 1)
        XSetLineAttributes(display_, gc_, static_cast<unsigned>(lineWidth), LineSolid, CapRound,
                           JoinRound);
    XDrawRectangle(display_, window_, gc_, x, y, static_cast<unsigned>(w - 1),
                   static_cast<unsigned>(h - 1));
    if (lineWidth > 1) XSetLineAttributes(display_, gc_, 1, LineSolid, CapRound, JoinRound);
    Flush();
}

void GraphicsContext::FillRectangle(int x, int y, int w, int h, int borderWidth,
                                    Colour borderColour, Colour fillColour) {
    // A size below 2 covers nothing: the fill is one pixel short each way.
    if (!gc_ || w < 2 || h < 2) return;
    SetColour(fillColour);
    XFillRectangle(display_, window_, gc_, x, y, static_cast<unsigned>(w - 1),
                   static_cast<unsigned>(h - 1));
    Flush();
    if (borderWidth > 0) DrawRectangle(x, y, w - 1, h - 1, borderWidth, borderColour);
}

void GraphicsContext::FillRectangle(int x, int y, int w, int h, int /*ignored*/, int borderWidth,
                                    Colour borderColour, Colour fillColour) {
    FillRectangle(x, y, w, h, borderWidth, borderColour, fillColour);
}

void GraphicsContext::DrawEllipse(int x, int y, int w, int h, int /*width*/, Colour colour) {
    if (!gc_ || w < 0 || h < 0) return;
    SetColour(colour);
    XSetArcMode(display_, gc_, ArcPieSlice);
    XDrawArc(display_, window_, gc_, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
             360 * 64);
    Flush();
}

void GraphicsContext::FillEllipse(int x, int y, int w, int h, int borderWidth, Colour borderColour,
                                  Colour fillColour) {
    if (!gc_ || w < 0 || h < 0) return;
    SetColour(fillColour);
    XSetArcMode(display_, gc_, ArcPieSlice);
    XFillArc(display_, window_, gc_, x, y, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
             360 * 64);
    Flush();
    if (borderWidth > 0) DrawEllipse(x, y, w, h, borderWidth, borderColour);
}

void GraphicsContext::DrawLine(int x1, int y1, int x2, int y2, int style, int /*width*/,
                               Colour colour) {
    if (!gc_) return;
    SetColour(colour);
    if (style == 1) XSetLineAttributes(display_, gc_, 1, LineOnOffDash, CapRound, JoinRound);
    if (style == 2) XSetLineAttributes(display_, gc_, 1, LineDoubleDash, CapRound, JoinRound);
    XDrawLine(display_, window_, gc_, x1, y1, x2, y2);
    Flush();
    if (style == 1 || style == 2)
        XSetLineAttributes(display_, gc_, 1, LineSolid, CapRound, JoinRound);
}

void GraphicsContext::DrawLine(int x1, int y1, int x2, int y2, int width, Colour colour) {
    DrawLine(x1, y1, x2, y2, 0, width, colour);
}

void GraphicsContext::DrawText(int x, int y, int w, int h, const std::string& text, Colour fg,
                               Colour bg, const FontDescriptor* /*font*/, TextAlign align) {
    XFontStruct* font = gc_ ? FontOn(display_) : nullptr;
    if (font == nullptr) return;
    if (fg != NoColour) XSetForeground(display_, gc_, static_cast<unsigned long>(fg));
    if (bg != NoColour) XSetBackground(display_, gc_, static_cast<unsigned long>(bg));
    const int step = LineStep(font);
    if (h <= 9) return;
    const size_t maxLines = static_cast<size_t>((h - 10) / step) + 1;
    const std::vector<TextLine> lines = LayoutText(text, w, WidthsOf(font), maxLines);
    const CharWidths& widths = WidthsOf(font);
    if (w >= 1 && bg != NoColour) {
        FillRectangle(x, y, w, h + 1, 0, 0, bg);
        if (fg != NoColour) XSetForeground(display_, gc_, static_cast<unsigned long>(fg));
    }
    bool first = true;
    for (const TextLine& line : lines) {
        if (h <= 9) break;
        int lineWidth = 0;
        for (size_t i = 0; i < line.length; ++i)
            lineWidth += widths[static_cast<unsigned char>(text[line.begin + i])];
        const int baseline = y + step + (line.last && first ? (h - step) / 2 : 0);
        if (line.wrapped) align = AlignLeft;
        int start = x;
        if (w >= 1 && align != AlignLeft && lineWidth != 0)
            start = align == AlignRight ? x + w - lineWidth : x + (w - lineWidth) / 2;
        XDrawString(display_, window_, gc_, start, baseline - 1, text.data() + line.begin,
                    static_cast<int>(line.length));
        Flush();
        first = false;
        y += step;
        h -= step;
    }
}

int GraphicsContext::TextHeight(int width, const std::string& text) {
    XFontStruct* font = FontOn(display_);
    if (font == nullptr) return 0;
    const std::vector<TextLine> lines = LayoutText(text, width, WidthsOf(font), text.size() + 1);
    return static_cast<int>(lines.size()) * LineStep(font);
}

int GraphicsContext::LineHeight(const FontDescriptor*) {
    XFontStruct* font = FontOn(display_);
    return font ? font->ascent + 1 : ApplicationFont().ConfiguredSize() + 1;
}

int GraphicsContext::CharWidth(const FontDescriptor*) {
    XFontStruct* font = FontOn(display_);
    return font ? XTextWidth(font, "M", 1) : 0;
}

}  // namespace lumetra
