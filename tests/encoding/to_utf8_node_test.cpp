// ToUtf8 against Node.js's TextDecoder (ICU, the Encoding Standard's decoders) over generated
// bytes for every encoding: every lead and trail byte pair where the encoding has pairs, random
// bytes, and valid text, each fed at its own chunking. glibc's tables differ from the
// standard's in places; those are listed in kKnownDifferences, and any other difference fails.
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "library/encoding/iconv_names.h"
#include "library/encoding/to_utf8.h"
#include "tests/support/linux_test_support.h"

namespace quillon::encoding {
namespace {

using Bytes = std::string;

// Where ToUtf8 and Debian's Node are known to differ, with the side that departs from the
// Encoding Standard: byte strings of one length, matched anywhere in an input. An input that
// differs and holds none of them fails the test.
struct KnownDifference {
  std::vector<Encoding> encodings;
  size_t length;
  bool (*matches)(const unsigned char* unit);
  const char* why;
};
bool In(unsigned char byte, unsigned char low, unsigned char high) {
  return byte >= low && byte <= high;
}
const KnownDifference kKnownDifferences[] = {
    {{Encoding::kGbk, Encoding::kGb18030},
     1,
     [](const unsigned char* u) { return u[0] == 0x80; },
     "glibc: GB18030 has no euro sign at 0x80"},
    {{Encoding::kGbk, Encoding::kGb18030},
     2,
     [](const unsigned char* u) {
       return (u[0] == 0xA3 && u[1] == 0xA0) || (u[0] == 0xFE && In(u[1], 0x50, 0xA0));
     },
     "glibc: GB18030-2005's mappings of A3A0 and FE50-FEA0, where the standard has 2022's"},
    {{Encoding::kBig5},
     2,
     [](const unsigned char* u) { return In(u[0], 0x81, 0xFE); },
     "ICU: Debian's big5 is Big5 without the HKSCS extensions the standard has; Node is no "
     "reference for Big5's pairs"},
    {{Encoding::kBig5},
     1,
     [](const unsigned char* u) { return u[0] == 0xFF; },
     "ICU: reads 0xFF as a character; the standard: an error"},
    {{Encoding::kEucJp},
     2,
     [](const unsigned char* u) { return u[0] >= 0x8E && In(u[1], 0x80, 0xA0); },
     "ICU: reads a broken non-ASCII trail byte again; the standard takes it into the error"},
    {{Encoding::kEucJp},
     2,
     [](const unsigned char* u) {
       return (u[0] == 0xAD || In(u[0], 0xF9, 0xFC)) && In(u[1], 0xA1, 0xFE);
     },
     "glibc: EUC-JP lacks the NEC row 13 and the IBM extension rows of the standard's JIS X "
     "0208 index"},
    {{Encoding::kEucJp},
     3,
     [](const unsigned char* u) { return u[0] == 0x8F && In(u[1], 0xA1, 0xFE); },
     "JIS X 0212 three-byte forms: ICU ends broken ones elsewhere, and the tables differ (not "
     "sorted out further)"},
    {{Encoding::kEucJp},
     2,
     [](const unsigned char* u) { return u[0] == 0x8E && u[1] >= 0xE0; },
     "ICU: maps 8E E0 and up (IBM's table); the standard: errors"},
    {{Encoding::kEucJp},
     2,
     [](const unsigned char* u) {
       return (u[0] == 0xA1 &&
               (u[1] == 0xC1 || u[1] == 0xC2 || u[1] == 0xDD || u[1] == 0xF1 || u[1] == 0xF2)) ||
              (u[0] == 0xA2 && u[1] == 0xCC);
     },
     "glibc: JIS's wave dash, double vertical line, minus, cent, pound and not sign where the "
     "standard has Microsoft's (EUC-JP-MS has those but maps the user-defined rows, which the "
     "standard "
     "does not)"},
    {{Encoding::kEucKr},
     2,
     [](const unsigned char* u) { return u[0] == 0xA0 && u[1] == 0xFF; },
     "ICU: reads 0xFF after a lead again; the standard takes it into the error"},
    {{Encoding::kEucKr},
     2,
     [](const unsigned char* u) { return u[0] == 0xFE && u[1] == 0xFF; },
     "glibc: UHC reports the error at 0xFF after taking 0xFE: two U+FFFD where the standard has "
     "one"},
    {{Encoding::kIso2022Jp},
     1,
     [](const unsigned char* u) { return u[0] == 0x1B; },
     "glibc: its escapes differ from the standard's: no katakana (ESC ( I), no error for two "
     "escapes in a row, a broken escape read otherwise"},
    {{Encoding::kShiftJis},
     1,
     [](const unsigned char* u) { return u[0] == 0x1A || u[0] == 0x1C || u[0] == 0x7F; },
     "ICU: its table swaps these controls; the standard keeps ASCII as it is"},
    {{Encoding::kShiftJis},
     2,
     [](const unsigned char* u) { return u[0] >= 0x80 && (In(u[1], 0x40, 0x7E) || u[1] >= 0xFD); },
     "ICU: swallows an ASCII trail byte of an unmapped pair, which the standard reads again, "
     "and reads 0xFD-0xFF after a lead again, which the standard takes into the error"},
    {{Encoding::kEucKr},
     1,
     [](const unsigned char* u) { return In(u[0], 0x80, 0x9F); },
     "ICU: reads C1 bytes as C1 controls; the standard: errors"},
    {{Encoding::kEucKr},
     2,
     [](const unsigned char* u) { return In(u[0], 0x81, 0xFE) && In(u[1], 0x41, 0xFE); },
     "ICU: Debian's EUC-KR lacks the Unified Hangul Code extension the standard has; Node is "
     "no reference for EUC-KR's pairs"},
    {{Encoding::kIso2022Jp},
     1,
     [](const unsigned char* u) { return u[0] == 0x0E || u[0] == 0x0F; },
     "glibc: passes SO and SI through; the standard: errors"},
};

bool Explained(Encoding encoding, const Bytes& input) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
  for (const KnownDifference& d : kKnownDifferences) {
    if (std::find(d.encodings.begin(), d.encodings.end(), encoding) == d.encodings.end()) {
      continue;
    }
    for (size_t i = 0; i + d.length <= input.size(); ++i) {
      if (d.matches(bytes + i)) return true;
    }
  }
  return false;
}

bool IsMultiByte(Encoding e) {
  return e == Encoding::kShiftJis || e == Encoding::kEucKr || e == Encoding::kBig5 ||
         e == Encoding::kGbk || e == Encoding::kGb18030 || e == Encoding::kEucJp;
}

Bytes EncodeUtf8(std::uint32_t c) {
  Bytes s;
  if (c < 0x80) {
    s += static_cast<char>(c);
  } else if (c < 0x800) {
    s += static_cast<char>(0xC0 | (c >> 6));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (c >> 18));
    s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
  }
  return s;
}

// Text in the encoding: random characters of many scripts, each kept where the encoding has
// it (glibc encodes; TextDecoder then reads what glibc wrote).
std::vector<Bytes> ValidText(Encoding encoding, std::mt19937& random) {
  static const std::uint32_t kRanges[][2] = {
      {0x20, 0x7E},     {0xA0, 0xFF},     {0x100, 0x17F},     {0x370, 0x3FF},
      {0x400, 0x45F},   {0x5D0, 0x5EA},   {0x620, 0x64A},     {0xE01, 0xE5B},
      {0x1EA0, 0x1EF9}, {0x2010, 0x2044}, {0x3000, 0x30FF},   {0x4E00, 0x9FA5},
      {0xAC00, 0xD7A3}, {0xFF01, 0xFF9F}, {0x20000, 0x2A6D6}, {0x1F600, 0x1F64F}};
  std::vector<Bytes> texts;
  iconv_t cd = reinterpret_cast<iconv_t>(-1);
  const std::string name(IconvName(encoding));
  if (!name.empty()) cd = iconv_open(name.c_str(), "UTF-8");
  for (int t = 0; t < 60; ++t) {
    Bytes text;
    const size_t length = random() % 80;
    for (size_t k = 0; k < length; ++k) {
      const auto& range = kRanges[random() % std::size(kRanges)];
      const std::uint32_t c = range[0] + random() % (range[1] - range[0] + 1);
      Bytes utf8 = EncodeUtf8(c);
      if (encoding == Encoding::kUtf8) {
        text += utf8;
      } else if (encoding == Encoding::kUtf16be || encoding == Encoding::kUtf16le) {
        std::uint32_t units[2] = {c, 0};
        size_t count = 1;
        if (c >= 0x10000) {
          units[0] = 0xD800 + ((c - 0x10000) >> 10);
          units[1] = 0xDC00 + ((c - 0x10000) & 0x3FF);
          count = 2;
        }
        for (size_t u = 0; u < count; ++u) {
          const char high = static_cast<char>(units[u] >> 8), low = static_cast<char>(units[u]);
          text += encoding == Encoding::kUtf16be ? Bytes{high, low} : Bytes{low, high};
        }
      } else if (cd != reinterpret_cast<iconv_t>(-1)) {
        char out[16];
        char* in = utf8.data();
        size_t in_left = utf8.size();
        char* o = out;
        size_t o_left = sizeof out;
        if (iconv(cd, &in, &in_left, &o, &o_left) != static_cast<size_t>(-1)) {
          text.append(out, o);
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
      }
    }
    texts.push_back(text);
  }
  if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
  return texts;
}

// Exhaustive units, random bytes and valid text for one encoding.
std::vector<Bytes> Inputs(Encoding encoding, std::mt19937& random) {
  std::vector<Bytes> inputs;
  for (int b = 0; b < 256; ++b) inputs.push_back(Bytes(1, static_cast<char>(b)));
  if (IsMultiByte(encoding) || encoding == Encoding::kUtf16be || encoding == Encoding::kUtf16le) {
    for (int lead = 0x80; lead < 0x100; ++lead) {
      for (int trail = 0; trail < 0x100; ++trail) {
        inputs.push_back({static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
  }
  if (encoding == Encoding::kEucJp) {
    for (int second = 0xA1; second < 0xFF; ++second) {
      for (int third = 0; third < 0x100; ++third) {
        inputs.push_back({'\x8F', static_cast<char>(second), static_cast<char>(third)});
      }
    }
  }
  auto pick = [&](int low, int high) {
    return static_cast<char>(low + random() % (high - low + 1));
  };
  if (encoding == Encoding::kGb18030 || encoding == Encoding::kGbk) {
    for (int n = 0; n < 20000; ++n) {
      // Mostly well-formed four-byte forms, some broken in the third or fourth byte.
      inputs.push_back({pick(0x81, 0xFE), pick(0x30, 0x39),
                        random() % 8 ? pick(0x81, 0xFE) : pick(0, 0xFF),
                        random() % 8 ? pick(0x30, 0x39) : pick(0, 0xFF)});
    }
  }
  static const char* const kIso2022Pieces[] = {"\x1B$B", "\x1B(B", "\x1B(J", "\x1B(I",
                                               "\x1B$@", "\x1B",   "\x0E",   "\x0F"};
  for (int n = 0; n < 400; ++n) {
    Bytes input;
    const size_t length = random() % 200;
    for (size_t k = 0; k < length; ++k) {
      const unsigned kind = random() % 10;
      if (encoding == Encoding::kIso2022Jp && kind == 0) {
        input += kIso2022Pieces[random() % std::size(kIso2022Pieces)];
      } else if (kind < 4) {
        input += pick(0x20, 0x7E);
      } else if (kind == 4) {
        input += pick(0, 0x1F);
      } else {
        input += pick(0x80, 0xFF);
      }
    }
    inputs.push_back(input);
  }
  for (Bytes& text : ValidText(encoding, random)) inputs.push_back(std::move(text));
  return inputs;
}

void AppendRecord(Bytes& file, const Bytes& record) {
  const std::uint32_t size = static_cast<std::uint32_t>(record.size());
  for (int i = 0; i < 4; ++i) file += static_cast<char>(size >> (8 * i));
  file += record;
}

std::vector<Bytes> ReadRecords(const Bytes& file) {
  std::vector<Bytes> records;
  for (size_t p = 0; p + 4 <= file.size();) {
    std::uint32_t size = 0;
    for (int i = 0; i < 4; ++i)
      size |= static_cast<std::uint32_t>(static_cast<unsigned char>(file[p + i])) << (8 * i);
    records.push_back(file.substr(p + 4, size));
    p += 4 + size;
  }
  return records;
}

constexpr const char* kNodeScript = R"(
const fs = require('fs');
for (const job of JSON.parse(fs.readFileSync(process.argv[2]))) {
  const decoder = new TextDecoder(job.label, {ignoreBOM: true});
  const input = fs.readFileSync(job.input);
  const out = [];
  for (let p = 0; p < input.length;) {
    const n = input.readUInt32LE(p);
    const text = Buffer.from(decoder.decode(input.subarray(p + 4, p + 4 + n)), 'utf8');
    const size = Buffer.alloc(4);
    size.writeUInt32LE(text.length);
    out.push(size, text);
    p += 4 + n;
  }
  fs.writeFileSync(job.output, Buffer.concat(out));
}
)";

class CollectingSink : public Utf8Sink {
 public:
  void Utf8(const unsigned char* bytes, size_t size) override {
    text.append(reinterpret_cast<const char*>(bytes), size);
    largest_piece = std::max(largest_piece, size);
  }
  Bytes text;
  size_t largest_piece = 0;
};

// One input through ToUtf8 in chunks: whole, a byte at a time, or of random sizes.
Bytes Convert(ToUtf8& converter, const Bytes& input, unsigned chunking, std::mt19937& random,
              size_t& largest_piece) {
  CollectingSink sink;
  const auto* bytes = reinterpret_cast<const unsigned char*>(input.data());
  for (size_t p = 0; p < input.size();) {
    size_t n = chunking == 0 ? input.size() : chunking == 1 ? 1 : 1 + random() % 17;
    n = std::min(n, input.size() - p);
    converter.Feed(bytes + p, n, sink);
    p += n;
  }
  converter.Finish(sink);
  largest_piece = std::max(largest_piece, sink.largest_piece);
  return sink.text;
}

std::string Hex(const Bytes& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char b : bytes) {
    hex += kDigits[b >> 4];
    hex += kDigits[b & 15];
    hex += ' ';
  }
  return hex;
}

TEST(ToUtf8, AgreesWithNodeTextDecoderOnEveryEncoding) {
  if (std::system("command -v node > /dev/null 2>&1") != 0) GTEST_SKIP() << "node is missing";
  testing_support::ScratchFolder scratch;
  std::mt19937 random(20261209);
  std::vector<Encoding> encodings;
  std::vector<std::vector<Bytes>> inputs;
  std::string manifest = "[";
  for (size_t e = 0; e <= static_cast<size_t>(Encoding::kXUserDefined); ++e) {
    const Encoding encoding = static_cast<Encoding>(e);
    // TextDecoder refuses the replacement encoding's labels; the others are checked below.
    if (encoding == Encoding::kReplacement || encoding == Encoding::kXUserDefined ||
        IsSingleByte(encoding)) {
      continue;
    }
    encodings.push_back(encoding);
    inputs.push_back(Inputs(encoding, random));
    Bytes file;
    for (const Bytes& input : inputs.back()) AppendRecord(file, input);
    const std::string in = scratch.Path(std::to_string(e) + ".in");
    testing_support::WriteFile(in, file);
    // The standard's GBK decoder is its gb18030 decoder; Debian's ICU has a GBK of its own.
    const Encoding node_label = encoding == Encoding::kGbk ? Encoding::kGb18030 : encoding;
    manifest += std::string(manifest.size() > 1 ? "," : "") + "{\"label\":\"" +
                std::string(Name(node_label)) + "\",\"input\":\"" + in + "\",\"output\":\"" +
                scratch.Path(std::to_string(e) + ".out") + "\"}";
  }
  testing_support::WriteFile(scratch.Path("jobs.json"), manifest + "]");
  testing_support::WriteFile(scratch.Path("decode.js"), kNodeScript);
  ASSERT_EQ(
      std::system(("node " + scratch.Path("decode.js") + " " + scratch.Path("jobs.json")).c_str()),
      0);

  size_t unexplained_total = 0;
  for (size_t i = 0; i < encodings.size(); ++i) {
    const Encoding encoding = encodings[i];
    const std::vector<Bytes> expected = ReadRecords(testing_support::ReadFile(
        scratch.Path(std::to_string(static_cast<size_t>(encoding)) + ".out")));
    ASSERT_EQ(expected.size(), inputs[i].size()) << Name(encoding);
    ToUtf8 converter(encoding);
    size_t differ = 0, unexplained = 0, largest_piece = 0;
    for (size_t k = 0; k < expected.size(); ++k) {
      const Bytes ours = Convert(converter, inputs[i][k], k % 3, random, largest_piece);
      if (ours == expected[k]) continue;
      ++differ;
      if (Explained(encoding, inputs[i][k])) continue;
      if (++unexplained <= 5) {
        ADD_FAILURE() << Name(encoding) << " input " << Hex(inputs[i][k]) << "\n  ours "
                      << Hex(ours) << "\n  node " << Hex(expected[k]);
      }
    }
    if (encoding != Encoding::kUtf8) {
      EXPECT_LE(largest_piece, ToUtf8::kOutputCapacity);
    }
    std::cout << Name(encoding) << ": " << expected.size() << " inputs, " << differ << " differ, "
              << unexplained << " unexplained\n";
    unexplained_total += unexplained;
  }
  EXPECT_EQ(unexplained_total, 0u);
}

TEST(ToUtf8, ReplacementEncodingGivesOneReplacementForAnyBytes) {
  ToUtf8 converter(Encoding::kReplacement);
  std::mt19937 random(7);
  size_t largest = 0;
  EXPECT_EQ(Convert(converter, "", 0, random, largest), "");
  EXPECT_EQ(Convert(converter, "abc\xFF", 1, random, largest), "\xEF\xBF\xBD");
  EXPECT_EQ(Convert(converter, Bytes(5000, 'x'), 2, random, largest), "\xEF\xBF\xBD");
}

// The single-byte encodings byte by byte against the standard's indexes (Debian's Node lacks
// some and reads windows-1252 as Latin-1), and x-user-defined's rule.
TEST(ToUtf8, SingleByteEncodingsFollowTheStandardsIndexes) {
  std::istringstream indexes(
      testing_support::ReadFile(QUILLON_ENCODING_TEST_DATA "/single_byte_indexes.txt"));
  std::mt19937 random(16);
  size_t largest = 0, encodings = 0;
  for (std::string line; std::getline(indexes, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string name;
    fields >> name;
    const std::optional<Encoding> encoding = ForLabel(name);
    ASSERT_TRUE(encoding.has_value()) << name;
    std::vector<Bytes> expected(256);
    for (std::uint32_t b = 0; b < 256; ++b) {
      std::uint32_t code_point = b;
      if (b >= 0x80) fields >> std::hex >> code_point;
      expected[b] = EncodeUtf8(b >= 0x80 && code_point == 0 ? 0xFFFD : code_point);
    }
    ASSERT_TRUE(fields) << name;
    ToUtf8 converter(*encoding);
    Bytes all, all_expected;
    for (std::uint32_t b = 0; b < 256; ++b) {
      EXPECT_EQ(Convert(converter, Bytes(1, static_cast<char>(b)), 0, random, largest), expected[b])
          << name << " byte " << b;
    }
    for (int k = 0; k < 4096; ++k) {
      const unsigned b = random() % 256;
      all += static_cast<char>(b);
      all_expected += expected[b];
    }
    EXPECT_EQ(Convert(converter, all, 2, random, largest), all_expected) << name;
    ++encodings;
  }
  EXPECT_EQ(encodings, 28u);
  EXPECT_LE(largest, ToUtf8::kOutputCapacity);

  ToUtf8 user_defined(Encoding::kXUserDefined);
  for (std::uint32_t b = 0; b < 256; ++b) {
    EXPECT_EQ(Convert(user_defined, Bytes(1, static_cast<char>(b)), 0, random, largest),
              EncodeUtf8(b < 0x80 ? b : 0xF780 + (b - 0x80)));
  }
}

}  // namespace
}  // namespace quillon::encoding
