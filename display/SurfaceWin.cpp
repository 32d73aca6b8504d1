#include "display/SurfaceWin.h"

using namespace gdip;

OffscreenSurface::OffscreenSurface(HDC compatibleWith, int width, int height) {
  if (width <= 0 || height <= 0) return;
  m_width = width;
  m_height = height;
  m_dc = CreateCompatibleDC(compatibleWith);
  if (!m_dc) return;

  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // negative: top-down, row 0 first, as GDI+ lays out its scan lines
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  // A fresh DIB section is zero-filled: fully transparent.
  m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!m_bitmap || !bits) return;
  m_bits = static_cast<uint32_t*>(bits);
  m_previousBitmap = SelectObject(m_dc, m_bitmap);

  GpBitmap* image = nullptr;
  GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB, static_cast<BYTE*>(bits), &image);
  if (!image) return;
  *m_image.out() = image;
  GdipGetImageGraphicsContext(m_image, m_graphics.out());
}

OffscreenSurface::~OffscreenSurface() {
  releaseGraphics();
  releaseDc();
}

void OffscreenSurface::flush() {
  if (m_graphics) GdipFlush(m_graphics, FlushIntentionSync);
  GdiFlush();
}

uint32_t OffscreenSurface::pixel(int x, int y) const {
  if (!m_bits || x < 0 || y < 0 || x >= m_width || y >= m_height) return 0;
  return m_bits[static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)];
}

void OffscreenSurface::releaseGraphics() {
  m_graphics.reset();
  m_image.reset();
}

void OffscreenSurface::releaseDc() {
  if (m_dc) {
    // Put the DC's own bitmap back, so that the DIB section is selected nowhere when it is deleted.
    if (m_previousBitmap) SelectObject(m_dc, m_previousBitmap);
    DeleteDC(m_dc);
    m_dc = nullptr;
  }
  if (m_bitmap) {
    DeleteObject(m_bitmap);
    m_bitmap = nullptr;
  }
  m_previousBitmap = nullptr;
  m_bits = nullptr;
}
