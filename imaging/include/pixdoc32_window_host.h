/* pixdoc32's image windows and the screen: the window host.
 *
 * The library keeps everything an image window knows (the page, the view, the scroll bars) and
 * paints it into a pixel buffer itself; the native window belongs to a host that the program
 * installs once at start (the program's host is a Qt widget). Window handles are the host's
 * opaque values; 0 is never a window.
 *
 *   library -> host: make a window, set its title, show or hide and set a scroll bar, ask for a
 *                    repaint, show a painted pixel buffer, write a line of text over it, tell
 *                    the client size, the owner of a window and the active window;
 *   host -> library: the client area changed size, a scroll bar was used, a repaint is due,
 *                    the window is gone (PX_Window* below).
 *
 * Host functions are called from within the library's exports and events, on the thread that
 * owns the windows; they may call the events back (an immediate repaint does). Functions a host
 * leaves NULL are skipped.
 */
#ifndef PIXDOC32_WINDOW_HOST_H
#define PIXDOC32_WINDOW_HOST_H

#include "pixdoc32.h"

/* Kinds of native window. */
#define PIXDOC_WINDOW_TOP_LEVEL 1
#define PIXDOC_WINDOW_CHILD 2

/* Creation flags. */
#define PIXDOC_CREATE_COVER_PARENT 1 /* a child over the parent's whole client area, following it \
                                      */
#define PIXDOC_CREATE_NO_CAPTION 2   /* a top-level window without caption and maximise box */

/* Scroll bars. */
#define PIXDOC_BAR_HORIZONTAL 0
#define PIXDOC_BAR_VERTICAL 1

/* Scroll actions (PX_WindowScrolled). */
#define PIXDOC_SCROLL_LINE_BACK 0    /* line up or left */
#define PIXDOC_SCROLL_LINE_FORWARD 1 /* line down or right */
#define PIXDOC_SCROLL_PAGE_BACK 2    /* page up or left */
#define PIXDOC_SCROLL_PAGE_FORWARD 3 /* page down or right */
#define PIXDOC_SCROLL_BOX_RELEASED 4 /* the scroll box was let go at `position` */
#define PIXDOC_SCROLL_BOX_DRAGGED 5  /* the scroll box is being dragged, at `position` */
#define PIXDOC_SCROLL_TO_START 6     /* top or left end */
#define PIXDOC_SCROLL_TO_END 7       /* bottom or right end */

typedef struct PixdocWindowHost {
    void* context; /* handed back to every function */

    /* Makes and shows a native window with both scroll bars hidden. PIXDOC_WINDOW_CHILD: inside
     * `parent` at (x, y, width, height) of its client area, or over all of it (and following its
     * size) with PIXDOC_CREATE_COVER_PARENT. PIXDOC_WINDOW_TOP_LEVEL: a sizeable window at (x, y,
     * width, height), owned by `parent` when that is not 0. `title` is its first title. Returns
     * the new handle, or 0 when no window could be made. */
    PixdocWindow (*create_window)(void* context, PixdocWindow parent, int32_t kind, int32_t flags,
                                  int32_t x, int32_t y, int32_t width, int32_t height,
                                  const char* title);
    /* Sets the title of a top-level window. */
    void (*set_title)(void* context, PixdocWindow window, const char* title);
    /* The size of the drawable client area in pixels, scroll bars that are shown left out. */
    void (*client_size)(void* context, PixdocWindow window, int32_t* width, int32_t* height);
    /* Shows (shown 1) or hides a scroll bar; a shown bar runs from 0 to `maximum`, its box at
     * `position` and `page` long. Showing or hiding a bar changes the client size: the host then
     * reports it (PX_WindowResized). */
    void (*set_scroll_bar)(void* context, PixdocWindow window, int32_t bar, int32_t shown,
                           int32_t maximum, int32_t position, int32_t page);
    /* Asks for a repaint (the host later calls PX_WindowPaint): `erase` 1 clears the client
     * area first; `immediate` 1 repaints before returning. */
    void (*invalidate)(void* context, PixdocWindow window, int32_t erase, int32_t immediate);
    /* During a repaint: the whole client area as pixels 0xFFRRGGBB, rows top-down, `stride`
     * pixels apart. The buffer stays the library's; it is valid during the call only. */
    void (*show_pixels)(void* context, PixdocWindow window, const uint32_t* pixels, int32_t width,
                        int32_t height, int32_t stride);
    /* During a repaint, after show_pixels: one line of black text whose top-left corner is at
     * (x, y) of the client area. */
    void (*draw_text)(void* context, PixdocWindow window, int32_t x, int32_t y, const char* text);
    /* Who owns a window (what its module or top-level window is to the host); every owner has
     * its own current image window. NULL: every window has one owner. */
    uintptr_t (*owner_of)(void* context, PixdocWindow window);
    /* The window that has the user's attention, or 0. NULL: none. */
    PixdocWindow (*active_window)(void* context);

    int32_t scroll_bar_extent; /* thickness of a scroll bar in pixels */
} PixdocWindowHost;

/* Installs the host (copied). 0; 1 while image windows exist, or for a NULL host. */
PIXDOC_API int32_t PX_SetWindowHost(const PixdocWindowHost* host);

/* Events from the host. Each returns 0, or 1 when the handle is no image window. */

/* The client area is now width x height pixels (scroll bars left out). */
PIXDOC_API int32_t PX_WindowResized(PixdocWindow window, int32_t width, int32_t height);
/* A scroll bar (PIXDOC_BAR_*) was used: one of the PIXDOC_SCROLL_* actions, with the box's
 * position for the box actions. The view moves and a repaint is asked for. */
PIXDOC_API int32_t PX_WindowScrolled(PixdocWindow window, int32_t bar, int32_t action,
                                     int32_t position);
/* A repaint is due: the library paints the visible part of the page and shows it through
 * show_pixels (and draw_text), then sets the scroll bars. */
PIXDOC_API int32_t PX_WindowPaint(PixdocWindow window);
/* The native window is gone: its state and slot are freed. */
PIXDOC_API int32_t PX_WindowDestroyed(PixdocWindow window);

#endif /* PIXDOC32_WINDOW_HOST_H */
