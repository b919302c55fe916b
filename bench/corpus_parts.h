#pragma once
// Pieces that the corpus layouts are made of: prose, addresses and anchors.
#include "bench/corpus_builder.h"
#include "bench/corpus_random.h"

// How an anchor opens. Only kHttp and kMixedCase open exactly like <a href="http:// (letters
// in any case); the others are the near misses a real page is full of.
enum class AnchorStyle {
  kHttp,            // <a href="http://
  kMixedCase,       // <A HREF="HTTP://, <a Href="http:// and the like
  kHttps,           // <a href="https://
  kRelative,        // <a href="/path/..."
  kAttributeFirst,  // <a class="..." href="http://
};

// A sentence of Shift_JIS Japanese with a few ASCII words, ended by "。".
void PutJapaneseSentence(CorpusBuilder& out, CorpusRandom& random);
// A sentence of English words, ended by ". ".
void PutEnglishSentence(CorpusBuilder& out, CorpusRandom& random);
// A short link text: two or three Japanese or English words.
void PutShortText(CorpusBuilder& out, CorpusRandom& random);
// Host and path of an address, without scheme: bytes 0x21-0x7E only, no double quote, at most
// about 120 bytes; it ends in "/", ".html", ".htm", a query or a bare name.
void PutAddress(CorpusBuilder& out, CorpusRandom& random);
// A whole anchor, <a ...>text</a>, counting it when the extractor has to find it.
void PutAnchor(CorpusBuilder& out, CorpusRandom& random, AnchorStyle style);
// A style drawn with the share of each kind seen on ordinary pages.
AnchorStyle PickPageAnchorStyle(CorpusRandom& random);
