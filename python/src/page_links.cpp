#include "python/src/page_links.h"

#include "library/engine.h"
#include "python/src/exclusions.h"
#include "python/src/fixed_classes.h"
#include "python/src/page_bytes.h"
#include "python/src/record_list.h"
#include "python/src/unlocked_scan.h"

namespace quillon_python {

pybind11::list Links(pybind11::handle data, pybind11::handle exclude) {
  PageBytes page(data, "a page");
  Exclusions exclusions(exclude);
  RecordList records;
  // The page stays held by `page` while other threads run.
  UnlockedScan(page.size(), [&] {
    quillon::Engine engine(exclusions.texts(), FixedClasses());
    engine.Feed(page.data(), page.size(), records);
    engine.Finish();
  });
  return records.Take();
}

}  // namespace quillon_python
