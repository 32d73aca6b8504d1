// Encoding detection and conversions. Any bytes: the editor's round trip (decode, encode) is stable
// after one pass and reads back as it was written. Any UTF-16 text: written in every encoding, it
// reads back as written (GBK only for characters GBK holds). GBK fields are cut at boundaries.
#include <cstring>
#include <string>

#include "core/TextFile.h"
#include "framework/Gbk.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

bool hasLoneSurrogate(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
      ++i;
    else if (text[i] >= 0xD800 && text[i] <= 0xDFFF)
      return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes = asBytes(data, size);

  // The file as the editor opens and saves it: unchanged when it lost nothing on the way in, and
  // stable after one pass.
  const EditableText shown = textForEditing(bytes);
  const std::string saved = bytesForSaving(shown.text, shown.form, TextUse::Recovery).bytes;
  if (!shown.cutAtZero && !shown.changesOnSave) FUZZ_CHECK(saved == bytes);
  const EditableText again = textForEditing(saved);
  FUZZ_CHECK(again.text == shown.text && !again.changesOnSave);  // reads back as written
  FUZZ_CHECK(bytesForSaving(again.text, again.form, TextUse::Recovery).bytes == saved);

  // The bytes as UTF-16 text, written in every encoding.
  std::u16string text(size / 2, u'\0');
  if (!text.empty()) std::memcpy(&text[0], data, text.size() * 2);
  for (TextEncoding target :
       {TextEncoding::Utf16Le, TextEncoding::Utf16Be, TextEncoding::Utf8Bom, TextEncoding::Utf8, TextEncoding::Gbk}) {
    const std::string written = encodeFromUtf16(text, target);
    const TextEncoding readAs = detectEncoding(written);
    const std::u16string back = decodeToUtf16(written, readAs);
    if (target == TextEncoding::Utf16Le || target == TextEncoding::Utf16Be) {
      FUZZ_CHECK(readAs == target && back == text);
    } else if (target != TextEncoding::Gbk && !hasLoneSurrogate(text)) {
      FUZZ_CHECK(back == text);
    } else if (target == TextEncoding::Gbk) {
      // What GBK cannot hold becomes '?'; a text that survived once survives again.
      FUZZ_CHECK(decodeToUtf16(encodeFromUtf16(back, target), detectEncoding(encodeFromUtf16(back, target))) == back);
    }
  }

  // GBK helpers: cuts never split a double-byte character, fields are terminated.
  const size_t fieldSize = size ? data[0] % 64 : 0;
  char field[65];
  std::memset(field, 0x5A, sizeof field);
  gbk::copyToField(field, fieldSize, bytes);
  if (fieldSize > 0) {
    const size_t length = strnlen(field, fieldSize);
    FUZZ_CHECK(length < fieldSize);
    FUZZ_CHECK(length <= gbk::cutLength(bytes, fieldSize - 1));
  }
  FUZZ_CHECK(field[fieldSize] == 0x5A);
  const size_t cut = gbk::cutLength(bytes, fieldSize);
  FUZZ_CHECK(cut <= fieldSize && cut <= bytes.size());
  size_t at = 0;
  while (at < cut) at += gbk::charWidth(bytes, at);
  FUZZ_CHECK(at == cut);  // a character boundary
  FUZZ_CHECK(cut == bytes.size() || cut + gbk::charWidth(bytes, cut) > fieldSize);
  return 0;
}
