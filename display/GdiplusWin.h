// Scoped GDI+ flat-API objects, the widget's font family and the one way a text becomes glyph
// outlines. Drawing (DrawItemTexts) and measuring (CCore::getTextBounds) both go through here, so a
// measured width is the width that gets drawn.
#pragma once
#include <windows.h>
// GDI+ needs the Windows types first.
#include <gdiplus.h>

#include <string>
#include <vector>

#include "framework/String.h"

namespace gdip {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

// Owns one GDI+ object and deletes it with Delete when it goes out of scope.
template <typename T, auto Delete>
class Scoped {
 public:
  Scoped() = default;
  explicit Scoped(T* object) : m_object(object) {}
  Scoped(const Scoped&) = delete;
  Scoped& operator=(const Scoped&) = delete;
  ~Scoped() { reset(); }

  T* get() const { return m_object; }
  operator T*() const { return m_object; }
  // For the Gdip*Create* calls that hand the new object back through a pointer.
  T** out() {
    reset();
    return &m_object;
  }
  void reset() {
    if (m_object) Delete(m_object);
    m_object = nullptr;
  }

 private:
  T* m_object = nullptr;
};

using ScopedPath = Scoped<GpPath, GdipDeletePath>;
using ScopedSolidBrush = Scoped<GpSolidFill, GdipDeleteBrush>;
using ScopedLineBrush = Scoped<GpLineGradient, GdipDeleteBrush>;
using ScopedStringFormat = Scoped<GpStringFormat, GdipDeleteStringFormat>;
using ScopedFontFamily = Scoped<GpFontFamily, GdipDeleteFontFamily>;
using ScopedGraphics = Scoped<GpGraphics, GdipDeleteGraphics>;
using ScopedImage = Scoped<GpImage, GdipDisposeImage>;

// The face the widget draws with; fontFace holds the same name in GBK.
constexpr wchar_t kWidgetFace[] = L"黑体";

// A family for face, or, when face is not installed, the first installed of a few common CJK faces,
// and last GDI+'s generic sans-serif; null only when none of them exists. The caller deletes it.
GpFontFamily* createFontFamily(const wchar_t* face);

// The layout every text of the widget is set with: no format flags, neutral language.
GpStringFormat* createStringFormat();

// The font families of the faces asked for and the widget's string format, each made on first use
// and kept until the cache goes: looking a face up among the installed fonts is the costly part of
// measuring or drawing a text. A family handed out stays valid as long as the cache. The cache must
// go before GdiplusShutdown.
class FaceCache {
 public:
  FaceCache() = default;
  FaceCache(const FaceCache&) = delete;
  FaceCache& operator=(const FaceCache&) = delete;
  ~FaceCache();

  // The family for face as createFontFamily picks it (null when no face at all is installed).
  const GpFontFamily* family(const wchar_t* face);
  const GpStringFormat* format();

 private:
  struct Entry {
    std::wstring face;
    GpFontFamily* family;
  };
  std::vector<Entry> m_families;  // one or two faces in practice: searched in order
  ScopedStringFormat m_format;
};

// Adds text (GBK) as glyph outlines to path, on one line from (x, y), at an em of emSize pixels.
// The text goes to GDI+ as a UTF-16 copy of its own, freed before return.
GpStatus addTextToPath(GpPath* path, const CString& text, const GpFontFamily* family, int emSize, int x, int y,
                       const GpStringFormat* format);

}  // namespace gdip
