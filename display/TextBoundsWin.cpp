// Text measuring: the text is laid into a GDI+ path exactly as the widget's text paths lay it, so the
// measured size is the size that gets drawn.
#include <cmath>

#include "core/Core.h"
#include "display/GdiplusWin.h"
#include "framework/Gbk.h"

using namespace gdip;

namespace {

// Height of a line's cell (ascent and descent) of family at an em of size pixels, rounded up.
INT cellHeight(const GpFontFamily* family, int size) {
  UINT16 em = 0, ascent = 0, descent = 0;
  if (!family || GdipGetEmHeight(family, FontStyleRegular, &em) != Ok || em == 0) return 0;
  GdipGetCellAscent(family, FontStyleRegular, &ascent);
  GdipGetCellDescent(family, FontStyleRegular, &descent);
  const double height = std::ceil(static_cast<double>(size) * (ascent + descent) / em);
  return height > 0 ? static_cast<INT>(height) : 0;
}

// Where the advance of text (spaces only) ends, from the layout origin, as GDI+ lays it out with
// the widget's format; 0 when it cannot be measured.
INT advanceRight(const GpFontFamily* family, int size, const CString& text) {
  HDC screen = CreateCompatibleDC(nullptr);
  ScopedGraphics graphics;
  if (screen) GdipCreateFromHDC(screen, graphics.out());
  Scoped<GpFont, GdipDeleteFont> font;
  GdipCreateFont(family, static_cast<REAL>(size), FontStyleRegular, UnitPixel, font.out());
  ScopedStringFormat format(createStringFormat());
  // Without this flag GDI+ measures trailing spaces, and so a text of spaces, as nothing.
  GdipSetStringFormatFlags(format, StringFormatFlagsMeasureTrailingSpaces);
  const std::wstring wide = gbk::toWide(text.view());
  const RectF origin(0, 0, 0, 0);
  RectF bounds(0, 0, 0, 0);
  INT right = 0;
  if (graphics && font && format &&
      GdipMeasureString(graphics, wide.c_str(), static_cast<INT>(wide.size()), font, &origin, format, &bounds, nullptr,
                        nullptr) == Ok) {
    right = static_cast<INT>(std::ceil(static_cast<double>(bounds.X) + bounds.Width));
  }
  // The graphics and the font before the DC they were made on.
  format.reset();
  font.reset();
  graphics.reset();
  if (screen) DeleteDC(screen);
  return right > 0 ? right : 0;
}

}  // namespace

FaceCache& CCore::faces() {
  if (!m_faces) m_faces = {new FaceCache, [](FaceCache* cache) { delete cache; }};
  return *m_faces;
}

int CCore::getLineHeight(const CString& face, int size) {
  const std::wstring wideFace = gbk::toWide(face.view());
  return cellHeight(faces().family(wideFace.c_str()), size);
}

// The size is the extent of the text's glyph outlines from the layout origin, the point the widget
// passes as the text's position: width = right edge of the outlines, height = bottom edge, each
// rounded up to a whole pixel. So a text measured w wide and drawn at x ends left of x + w, and the
// left side bearing and GDI+'s leading padding are part of the width, as they are part of the drawing.
// A text without outlines is one line of the face high, so that rows whose names are all empty still
// have room for their numbers; empty it is 0 wide, of spaces only as wide as their advance reaches.
Gdiplus::Size CCore::getTextBounds(const CString& face, int size, const CString& text) {
  const std::wstring wideFace = gbk::toWide(face.view());
  ScopedPath path;
  GdipCreatePath(FillModeAlternate, path.out());
  const GpFontFamily* family = faces().family(wideFace.c_str());
  addTextToPath(path, text, family, size, 0, 0, faces().format());

  INT points = 0;
  GdipGetPointCount(path, &points);
  if (points <= 0)
    return Gdiplus::Size(text.IsEmpty() ? 0 : advanceRight(family, size, text), cellHeight(family, size));
  GpRectF bounds;
  if (GdipGetPathWorldBounds(path, &bounds, nullptr, nullptr) != Ok) return Gdiplus::Size(0, 0);
  const double right = std::ceil(static_cast<double>(bounds.X) + bounds.Width);
  const double bottom = std::ceil(static_cast<double>(bounds.Y) + bounds.Height);
  return Gdiplus::Size(right > 0 ? static_cast<INT>(right) : 0, bottom > 0 ? static_cast<INT>(bottom) : 0);
}
