#include "library/encoding/iconv_names.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace quillon::encoding {
namespace {

struct MendedPair {
  Encoding encoding;
  std::uint16_t pair;
  std::uint32_t code_point;
};

#include "library/encoding/mended_pairs.inc"

constexpr bool Before(const MendedPair& a, const MendedPair& b) {
  return a.encoding < b.encoding || (a.encoding == b.encoding && a.pair < b.pair);
}
static_assert(std::is_sorted(std::begin(kMendedPairs), std::end(kMendedPairs), Before),
              "mended_pairs.inc must be sorted");

}  // namespace

std::string_view IconvName(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8:
    case Encoding::kUtf16be:
    case Encoding::kUtf16le:
    case Encoding::kXUserDefined:
    case Encoding::kReplacement:
      return {};
    case Encoding::kIbm866:
      return "IBM866";
    case Encoding::kIso8859_2:
      return "ISO-8859-2";
    case Encoding::kIso8859_3:
      return "ISO-8859-3";
    case Encoding::kIso8859_4:
      return "ISO-8859-4";
    case Encoding::kIso8859_5:
      return "ISO-8859-5";
    case Encoding::kIso8859_6:
      return "ISO-8859-6";
    case Encoding::kIso8859_7:
      return "ISO-8859-7";
    // ISO-8859-8-I differs from ISO-8859-8 only in how text is laid out, not in its bytes.
    case Encoding::kIso8859_8:
    case Encoding::kIso8859_8I:
      return "ISO-8859-8";
    case Encoding::kIso8859_10:
      return "ISO-8859-10";
    case Encoding::kIso8859_13:
      return "ISO-8859-13";
    case Encoding::kIso8859_14:
      return "ISO-8859-14";
    case Encoding::kIso8859_15:
      return "ISO-8859-15";
    case Encoding::kIso8859_16:
      return "ISO-8859-16";
    case Encoding::kKoi8R:
      return "KOI8-R";
    case Encoding::kKoi8U:
      return "KOI8-U";
    case Encoding::kMacintosh:
      return "MACINTOSH";
    case Encoding::kWindows874:
      return "CP874";
    case Encoding::kWindows1250:
      return "CP1250";
    case Encoding::kWindows1251:
      return "CP1251";
    case Encoding::kWindows1252:
      return "CP1252";
    case Encoding::kWindows1253:
      return "CP1253";
    case Encoding::kWindows1254:
      return "CP1254";
    case Encoding::kWindows1255:
      return "CP1255";
    case Encoding::kWindows1256:
      return "CP1256";
    case Encoding::kWindows1257:
      return "CP1257";
    case Encoding::kWindows1258:
      return "CP1258";
    case Encoding::kXMacCyrillic:
      return "MAC-CYRILLIC";
    // The standard's GBK decoder is its gb18030 decoder.
    case Encoding::kGbk:
    case Encoding::kGb18030:
      return "GB18030";
    // The standard's Big5 is Big5 with the HKSCS extensions.
    case Encoding::kBig5:
      return "BIG5-HKSCS";
    case Encoding::kEucJp:
      return "EUC-JP";
    case Encoding::kIso2022Jp:
      return "ISO-2022-JP";
    // The standard's Shift_JIS is Microsoft's code page 932 (windows-31j).
    case Encoding::kShiftJis:
      return "CP932";
    // The standard's EUC-KR is Microsoft's code page 949 (Unified Hangul Code).
    case Encoding::kEucKr:
      return "CP949";
  }
  return {};
}

bool IsSingleByte(Encoding encoding) {
  return encoding >= Encoding::kIbm866 && encoding <= Encoding::kXMacCyrillic;
}

char32_t StandardCodePoint(Encoding encoding, unsigned char byte, char32_t from_glibc) {
  switch (encoding) {
    // The standard's KOI8-U has the Belarusian short u where glibc has box drawings.
    case Encoding::kKoi8U:
      if (byte == 0xAE) return 0x045E;
      if (byte == 0xBE) return 0x040E;
      break;
    // Apple's later tables: the increment sign for the Greek capital delta, and the Apple
    // logo in the private use area.
    case Encoding::kMacintosh:
      if (byte == 0xC6) return 0x2206;
      if (byte == 0xF0) return 0xF8FF;
      break;
    // The euro sign replaced the currency sign.
    case Encoding::kXMacCyrillic:
      if (byte == 0xFF) return 0x20AC;
      break;
    // The Hebrew point holam haser for vav, which glibc's CP1255 lacks.
    case Encoding::kWindows1255:
      if (byte == 0xCA) return 0x05BA;
      if (from_glibc == 0 && byte < 0xA0) return byte;
      break;
    // Windows code pages: the bytes glibc leaves undefined are the C1 controls of the same
    // value, as Windows decodes them.
    case Encoding::kWindows874:
    case Encoding::kWindows1250:
    case Encoding::kWindows1251:
    case Encoding::kWindows1252:
    case Encoding::kWindows1253:
    case Encoding::kWindows1254:
    case Encoding::kWindows1256:
    case Encoding::kWindows1257:
    case Encoding::kWindows1258:
      if (from_glibc == 0 && byte < 0xA0) return byte;
      break;
    default:
      break;
  }
  return from_glibc;
}

char32_t StandardPair(Encoding encoding, unsigned char lead, unsigned char trail) {
  // The standard's GBK decoder is its gb18030 decoder.
  if (encoding == Encoding::kGbk) encoding = Encoding::kGb18030;
  const MendedPair key{encoding, static_cast<std::uint16_t>(lead << 8 | trail), 0};
  const MendedPair* found =
      std::lower_bound(std::begin(kMendedPairs), std::end(kMendedPairs), key, Before);
  if (found == std::end(kMendedPairs) || found->encoding != encoding || found->pair != key.pair) {
    return 0;
  }
  return found->code_point;
}

}  // namespace quillon::encoding
