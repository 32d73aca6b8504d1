// The widget's off-screen surface: a 32-bit top-down DIB section selected into a memory DC, the
// DC that UpdateLayeredWindow reads, and a GDI+ bitmap in premultiplied ARGB over the same bits, on
// which the graphics draws. Drawing through the GDI+ bitmap rather than through the DC keeps every
// pixel's alpha exact whatever the display's format, and premultiplied is what the layered window
// expects.
#pragma once
#include <windows.h>

#include <cstdint>

#include "display/GdiplusWin.h"

class OffscreenSurface {
 public:
  // A transparent surface of width x height pixels; both must be positive, for GDI and GDI+ refuse
  // an empty bitmap. compatibleWith is the DC the memory DC is made compatible with (may be null).
  OffscreenSurface(HDC compatibleWith, int width, int height);
  ~OffscreenSurface();
  OffscreenSurface(const OffscreenSurface&) = delete;
  OffscreenSurface& operator=(const OffscreenSurface&) = delete;

  int width() const { return m_width; }
  int height() const { return m_height; }
  HDC dc() const { return m_dc; }
  Gdiplus::GpGraphics* graphics() const { return m_graphics; }
  bool ok() const { return m_graphics != nullptr; }

  // Completes pending drawing so that the bits hold it (before UpdateLayeredWindow or a read).
  void flush();
  // Premultiplied 0xAARRGGBB of pixel (x, y); 0 outside the surface.
  uint32_t pixel(int x, int y) const;

  // The release happens in two visible steps around the caller's own: first the GDI+ side (the
  // graphics, then the bitmap over the bits), later the GDI side (the memory DC, then the DIB
  // section, which is only deleted once no DC holds it). The destructor does what is left.
  void releaseGraphics();
  void releaseDc();

 private:
  int m_width = 0;
  int m_height = 0;
  HDC m_dc = nullptr;
  HBITMAP m_bitmap = nullptr;
  HGDIOBJ m_previousBitmap = nullptr;
  uint32_t* m_bits = nullptr;  // owned by m_bitmap
  gdip::ScopedImage m_image;
  gdip::ScopedGraphics m_graphics;
};
