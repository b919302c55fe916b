#pragma once
// What a WARC reader hands on: the HTML pages of an archive, each in chunks, and the damage it
// met on the way.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace warc {

// Where a record starts in the file as stored.
struct RecordPlace {
  // The byte offset of the record in a plain archive; in a gzip archive, of the gzip member
  // the record starts in.
  std::uint64_t stored = 0;
  // In a gzip archive, where the record starts among the member's inflated bytes: 0 when the
  // member opens with it, as it does in an archive of one member per record.
  std::uint64_t inflated = 0;
  bool gzip = false;
};

struct PageStart {
  // WARC-Target-URI without blanks and angle brackets around it.
  std::string_view target_uri;
  // The charset parameter of the HTTP Content-Type (of the record's own Content-Type for a
  // resource record); empty when none is given.
  std::string_view charset;
  RecordPlace place;
};

class PageConsumer {
 public:
  virtual ~PageConsumer() = default;
  // A page begins. The views stay valid until EndPage.
  virtual void StartPage(const PageStart& page) = 0;
  // The next bytes of the page's body, with transfer and content codings removed.
  virtual void PageBytes(const unsigned char* bytes, size_t size) = 0;
  // The page is over; `complete` is false when damage cut it short (reported through Damage).
  virtual void EndPage(bool complete) = 0;
  // Damage in the record at `place` (or in the gzip member there, when no record was open);
  // reading goes on at the next record that can be found.
  virtual void Damage(const RecordPlace& place, std::string_view what) = 0;
};

}  // namespace warc
