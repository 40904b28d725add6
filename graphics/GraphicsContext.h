// Everything the toolkit shows is drawn through a GraphicsContext: one X
// graphics context on a form's window, built for the duration of one paint.
// Every operation flushes at once; there is no double buffering.
#pragma once

#include <string>

#include "lumetra/core/Types.h"
#include "lumetra/core/XTypes.h"

namespace lumetra {

class Form;
class FontDescriptor;

// The font all text is drawn and measured with: the first form's descriptor.
FontDescriptor& ApplicationFont();

class GraphicsContext {
public:
    // A null owner draws on the first registered form.
    explicit GraphicsContext(Form* owner);
    ~GraphicsContext();
    GraphicsContext(const GraphicsContext&) = delete;
    GraphicsContext& operator=(const GraphicsContext&) = delete;

    // False when there is nothing to draw with (no window, no X graphics
    // context); every operation then draws nothing.
    bool IsUsable() const { return gc_ != nullptr; }
    Form* Owner() const { return owner_; }
    Display* GetDisplay() const { return display_; }
    Drawable GetDrawable() const { return window_; }
    GC Handle() const { return gc_; }
    // Every drawing call is flushed at once, except while one of these
    // lives: then the display is flushed once, when the last one goes. A
    // form's repaint wraps all its controls' paints in one, so an Expose
    // costs one flush, not hundreds; a control that redraws many small
    // pieces (the text box's cells, the board) sends them together.
    class FlushOnce {
    public:
        explicit FlushOnce(Display* display);
        ~FlushOnce();
        FlushOnce(const FlushOnce&) = delete;
        FlushOnce& operator=(const FlushOnce&) = delete;

    private:
        Display* display_;
    };

    void DrawPoint(int x, int y, Colour colour);
    void DrawLines(const Point* points, int count, int width, Colour colour);
    void FillPolygon(const Point* points, int count, int borderWidth, Colour borderColour,
                     Colour fillColour);
    void DrawRectangle(int x, int y, int w, int h, int lineWidth, Colour colour);
    void FillRectangle(int x, int y, int w, int h, int borderWidth, Colour borderColour,
                       Colour fillColour);
    void FillRectangle(int x, int y, int w, int h, int ignored, int borderWidth,
                       Colour borderColour, Colour fillColour);
    void DrawEllipse(int x, int y, int w, int h, int width, Colour colour);
    void FillEllipse(int x, int y, int w, int h, int borderWidth, Colour borderColour,
                     Colour fillColour);
    // style 1 dashed, 2 double-dashed, anything else as the context is.
    void DrawLine(int x1, int y1, int x2, int y2, int style, int width, Colour colour);
    void DrawLine(int x1, int y1, int x2, int y2, int width, Colour colour);
    // Text in a box, with line feeds and word wrap; the font argument is not
    // used (the ApplicationFont is).
    void DrawText(int x, int y, int w, int h, const std::string& text, Colour fg, Colour bg,
                  const FontDescriptor* font, TextAlign align);
    void DrawText(int x, int y, int w, int h, const std::string& text, Colour fg, Colour bg,
                  TextAlign align) {
        DrawText(x, y, w, h, text, fg, bg, nullptr, align);
    }
    int TextHeight(int width, const std::string& text);
    int LineHeight(const FontDescriptor* font = nullptr);
    int CharWidth(const FontDescriptor* font = nullptr);
    void PutImage(int x, int y, int w, int h, XImage* image);
    void PutImage(int x, int y, int w, int h, XImage* image, int srcX, int srcY);
    void CopyArea(int x, int y, int w, int h, Drawable drawable);
    void CopyArea(int x, int y, int w, int h, Drawable drawable, int srcX, int srcY);
    unsigned long GetPixel(int x, int y);

    // The image operations, resting on the image layer (ImageFormat.h).
    // The window's rectangle as an X image, or null; the caller releases it
    // with DestroyImage.
    XImage* GetImage(int x, int y, int w, int h);
    // Draws the image with its key-coloured pixels letting the window show
    // through. Nothing is drawn when the display's image layout cannot be
    // walked or the window cannot be read back. The image is not changed.
    void PutImageTransparent(int x, int y, int w, int h, XImage* image, Colour keyColour);
    // The same for the rectangle srcX, srcY, w, h of the image (the part
    // outside the image is not drawn).
    void PutImageTransparent(int x, int y, int w, int h, XImage* image, int srcX, int srcY,
                             Colour keyColour);
    // A BMP file of 4, 8 or 24 bits per pixel drawn at x, y, at most w x h of
    // it (never more than the file holds). Nothing for a missing or unreadable
    // file.
    void DrawImageFile(int x, int y, int w, int h, int bitsPerPixel, const std::string& path);
    // As DrawImageFile, with black (0x000000) pixels transparent.
    void DrawImageFileTransparent(int x, int y, int w, int h, int bitsPerPixel,
                                  const std::string& path);

private:
    void SetColour(Colour c);
    void Flush();
    // An unmapped window cannot be read back (nor drawn on for good).
    bool WindowViewable(int* width, int* height);
    void DrawFile(int x, int y, int w, int h, int bitsPerPixel, const std::string& path,
                  bool transparent);

    Form* owner_ = nullptr;
    Display* display_ = nullptr;
    Window window_ = 0;
    GC gc_ = nullptr;
    static inline int deferred_ = 0;
};

}  // namespace lumetra
