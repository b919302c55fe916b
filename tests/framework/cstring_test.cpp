// The string class: bytes with NULs, the operations the library relies on, ownership across a
// C interface, and what an allocation failure leaves.
#include <gtest/gtest.h>

#include "framework/cstring.h"
#include "library/quillon.h"

namespace {

std::string Bytes(const CString& s) {
  return std::string(s.GetString(), static_cast<size_t>(s.GetLength()));
}

TEST(CStringTest, HoldsNulBytesAndCountsThem) {
  CString s("ab");
  s += '\0';
  s += 'c';
  EXPECT_EQ(s.GetLength(), 4);
  EXPECT_EQ(Bytes(s), std::string("ab\0c", 4));
  EXPECT_STREQ(s.GetString(), "ab");  // read as text, it ends at the NUL
  CString copy = s;
  EXPECT_EQ(Bytes(copy), Bytes(s));
}

TEST(CStringTest, EmptyStringsHaveNoBufferAndReadAsEmptyText) {
  CString none;
  CString from_null(static_cast<const char*>(nullptr));
  CString from_empty("");
  for (const CString* s : {&none, &from_null, &from_empty}) {
    EXPECT_TRUE(s->IsEmpty());
    EXPECT_STREQ(s->GetString(), "");
    EXPECT_EQ(s->GetAt(0), '\0');
  }
  long before = LiveStringBlocks();
  CString another("");
  EXPECT_EQ(LiveStringBlocks(), before);
}

TEST(CStringTest, RightAndCompareNoCase) {
  CString url("http://x.example/Page.HTML");
  EXPECT_STREQ(url.Right(5), ".HTML");
  EXPECT_STREQ(url.Right(100), "http://x.example/Page.HTML");
  EXPECT_EQ(url.Right(5).CompareNoCase(".html"), 0);
  EXPECT_NE(CString("\xC0").CompareNoCase("\xE0"), 0);  // only A to Z fold
  EXPECT_LT(CString("abc").CompareNoCase("ABD"), 0);
  EXPECT_GT(CString("abcd").CompareNoCase("ABC"), 0);
}

TEST(CStringTest, AssigningShorterTextReusesTheBuffer) {
  CString s("a longer text");
  const char* buffer = s.GetString();
  long before = LiveStringBlocks();
  s = "x";
  s = "yz";
  EXPECT_EQ(s.GetString(), buffer);
  EXPECT_EQ(LiveStringBlocks(), before);
  s = s;  // self-assignment keeps the value
  EXPECT_STREQ(s, "yz");
  s += s;
  EXPECT_STREQ(s, "yzyz");
}

TEST(CStringTest, BufferMadeByACCallerIsAdoptedAndReleased) {
  QuillonString made = QuillonMakeString("a\0b", 3);
  CString adopted = CString::Attach(made.characters);
  EXPECT_EQ(Bytes(adopted), std::string("a\0b", 3));
  adopted += "cd";  // grows within the same layout
  EXPECT_EQ(Bytes(adopted), std::string("a\0bcd", 5));
  QuillonString empty = QuillonMakeText("");
  EXPECT_EQ(empty.characters, nullptr);
}

TEST(CStringTest, DetachHandsTheBufferOver) {
  long before = LiveStringBlocks();
  CString s("owned");
  char* characters = s.Detach();
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_EQ(LiveStringBlocks(), before + 1);
  { CString back = CString::Attach(characters); }
  EXPECT_EQ(LiveStringBlocks(), before);
}

TEST(CStringTest, AllocationFailureThrowsAndLeavesTheStringAsItWas) {
  CString s("keep");
  FailStringAllocationsAfter(0);
  EXPECT_THROW(s = "a text longer than the buffer", CMemoryException);
  EXPECT_THROW(s += "and more text than fits", CMemoryException);
  FailStringAllocationsAfter(-1);
  EXPECT_STREQ(s, "keep");
}

}  // namespace
