// Scoped GDI+ flat-API objects, the widget's font family and the one way a text becomes glyph
// outlines. Drawing (DrawItemTexts) and measuring (CCore::getTextBounds) both go through here, so a
// measured width is the width that gets drawn.
#pragma once
#include <windows.h>
// GDI+ needs the Windows types first.
#include <gdiplus.h>

#include <string>

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
    if (m_object)
      Delete(m_object);
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

// One face's font family and the widget's string format, made on first use and kept until another
// face is asked for or the owner goes: looking a face up among the installed fonts is the costly part
// of measuring or drawing a text. The owner must go before GdiplusShutdown.
class TextFace {
 public:
  // The family for face as createFontFamily picks it (null when no face at all is installed).
  const GpFontFamily* family(const wchar_t* face);
  const GpStringFormat* format();

 private:
  std::wstring m_face;
  bool m_hasFamily = false;
  ScopedFontFamily m_family;
  ScopedStringFormat m_format;
};

// Adds text (GBK) as glyph outlines to path, on one line from (x, y), at an em of emSize pixels.
// The text goes to GDI+ as a UTF-16 copy of its own, freed before return.
GpStatus addTextToPath(GpPath* path,
                       const CString& text,
                       const GpFontFamily* family,
                       int emSize,
                       int x,
                       int y,
                       const GpStringFormat* format);

}  // namespace gdip
