// The fixed storage: a URL that fits is whole, one that would not fit fails, and nothing is
// written past the buffer on the way (the sanitizer builds check that part).
#include <string>

#include <gtest/gtest.h>

#include "library/url/url.h"

namespace quillon::url {
namespace {

TEST(UrlBounds, SerializationsUpToTheCapacityParseAndLongerOnesFail) {
  static Url base, url;
  const std::string prefix = "http://h/";
  const std::string fits = prefix + std::string(kUrlCapacity - prefix.size(), 'a');
  ASSERT_TRUE(Parse(fits, nullptr, url));
  EXPECT_EQ(url.href(), fits);
  EXPECT_FALSE(Parse(fits + "a", nullptr, url));
  // Growth while encoding: each invalid byte becomes nine.
  EXPECT_FALSE(Parse(prefix + std::string(kUrlCapacity / 9, '\xFF'), nullptr, url));
  EXPECT_TRUE(Parse(prefix + std::string(kUrlCapacity / 9 - 2, '\xFF'), nullptr, url));
  // The same through the copy that drops tabs and newlines.
  EXPECT_FALSE(Parse(prefix + "\n" + std::string(kUrlCapacity / 3, '\xFF'), nullptr, url));
  EXPECT_TRUE(Parse(prefix + "\n" + std::string(kUrlCapacity / 9 - 2, '\xFF'), nullptr, url));
  // A base that fills the storage: what is copied from it overflows, and "/." cannot be added.
  ASSERT_TRUE(Parse(fits, nullptr, base));
  EXPECT_FALSE(Parse("?q", &base, url));
  EXPECT_TRUE(Parse("/x", &base, url));
  EXPECT_EQ(url.href(), "http://h/x");
  // A path of slashes without a host takes "/." in front.
  const std::string slashes = "s:/." + std::string(kUrlCapacity - 4, '/');
  ASSERT_TRUE(Parse(slashes, nullptr, url));
  EXPECT_EQ(url.href().size(), kUrlCapacity);
  EXPECT_EQ(url.href().substr(0, 6), "s:/.//");
  EXPECT_FALSE(Parse(slashes + "/", nullptr, url));
  // Hosts of every kind at the limit.
  EXPECT_FALSE(Parse("http://" + std::string(kUrlCapacity, 'a') + "/", nullptr, url));
  EXPECT_FALSE(Parse("http://" + std::string(kUrlCapacity, 'a') + "\xC3\xA9/", nullptr, url));
  EXPECT_FALSE(Parse("foo://" + std::string(kUrlCapacity, 'a'), nullptr, url));
}

}  // namespace
}  // namespace quillon::url
