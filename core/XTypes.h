// The X types the toolkit's interface names, declared exactly as Xlib
// declares them (a repeated typedef of the same type is allowed), so that a
// program gets them without <X11/Xlib.h> and its macros: None, Bool, Status,
// Success, True and False stay free for the program's own names. A program
// may include Xlib itself, before or after the toolkit.
#pragma once

// The structure tags are Xlib's own, reserved names and all.
// NOLINTBEGIN(bugprone-reserved-identifier)
typedef unsigned long XID;
typedef unsigned long Atom;
typedef unsigned long Time;
typedef XID Window;
typedef XID Drawable;
typedef XID Pixmap;
typedef struct _XDisplay Display;
typedef struct _XGC* GC;
typedef struct _XImage XImage;
typedef union _XEvent XEvent;
// NOLINTEND(bugprone-reserved-identifier)
