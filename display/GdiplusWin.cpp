#include "display/GdiplusWin.h"

#include <oleauto.h>

#include <cwchar>

namespace gdip {

namespace {

// Faces that carry the Chinese texts, most likely first, tried when the face asked for is missing.
constexpr const wchar_t* kFallbackFaces[] = {
    L"黑体", L"SimHei", L"Microsoft YaHei", L"微软雅黑", L"WenQuanYi Zen Hei", L"SimSun", L"宋体"};

}  // namespace

GpFontFamily* createFontFamily(const wchar_t* face) {
  GpFontFamily* family = nullptr;
  if (face && GdipCreateFontFamilyFromName(face, nullptr, &family) == Ok && family) return family;
  for (const wchar_t* fallback : kFallbackFaces) {
    family = nullptr;
    if (GdipCreateFontFamilyFromName(fallback, nullptr, &family) == Ok && family) return family;
  }
  // GDI+ counts references on families, so the generic one is released like any other.
  family = nullptr;
  if (GdipGetGenericFontFamilySansSerif(&family) != Ok) return nullptr;
  return family;
}

GpStringFormat* createStringFormat() {
  GpStringFormat* format = nullptr;
  GdipCreateStringFormat(0, LANG_NEUTRAL, &format);
  return format;
}

FaceCache::~FaceCache() {
  for (const Entry& entry : m_families) {
    if (entry.family) GdipDeleteFontFamily(entry.family);
  }
}

const GpFontFamily* FaceCache::family(const wchar_t* face) {
  for (const Entry& entry : m_families) {
    if (entry.face == face) return entry.family;
  }
  GpFontFamily* made = createFontFamily(face);
  m_families.push_back({face, made});
  return made;
}

const GpStringFormat* FaceCache::format() {
  if (!m_format) *m_format.out() = createStringFormat();
  return m_format;
}

GpStatus addTextToPath(GpPath* path, const CString& text, const GpFontFamily* family, int emSize, int x, int y,
                       const GpStringFormat* format) {
  BSTR wide = text.AllocSysString();
  // A zero-sized layout rectangle neither wraps nor clips: the text lies on one line from (x, y).
  const Rect layoutRect(x, y, 0, 0);
  const GpStatus status = GdipAddPathStringI(path, wide, wide ? static_cast<INT>(std::wcslen(wide)) : 0, family,
                                             FontStyleRegular, static_cast<REAL>(emSize), &layoutRect, format);
  SysFreeString(wide);
  return status;
}

}  // namespace gdip
