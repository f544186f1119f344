// Narrowing the host's wide list texts: bounded by the buffer, cut between
// characters, lone surrogates replaced (the UTF-8 form used off Windows).
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "framework/text_narrowing.h"

namespace zav {
namespace {

TEST(TextNarrowingTest, TerminatedTextStopsAtTheTerminatorOrTheBufferEnd) {
  const std::array<char16_t, 4> full{u'a', u'b', u'c', u'd'};
  EXPECT_EQ(terminatedText(full.data(), full.size()), u"abcd");
  const std::array<char16_t, 4> shortText{u'a', u'\0', u'c', u'd'};
  EXPECT_EQ(terminatedText(shortText.data(), shortText.size()), u"a");
  EXPECT_EQ(terminatedText(full.data(), 0), u"");
}

#ifndef _WIN32
TEST(TextNarrowingTest, WideTextBecomesUtf8) {
  struct Case {
    std::u16string wide;
    std::string narrow;
  };
  const Case cases[] = {
      {u"", ""},
      {u"Off,Low", "Off,Low"},
      {u"\u00E9", "\xC3\xA9"},
      {u"\u20AC", "\xE2\x82\xAC"},
      {u"\U0001F600", "\xF0\x9F\x98\x80"},
      {u"a\xD800z", "a\xEF\xBF\xBDz"},               // lone high surrogate
      {u"a\xDC00z", "a\xEF\xBF\xBDz"},               // lone low surrogate
      {u"a\xD83D", "a\xEF\xBF\xBD"},                 // high surrogate at the end
      {u"\xDE00\xD83D", "\xEF\xBF\xBD\xEF\xBF\xBD"}, // a pair in the wrong order
  };
  for (const Case& c : cases) {
    EXPECT_EQ(narrowText(c.wide, 999), c.narrow) << c.narrow;
  }
}

TEST(TextNarrowingTest, TextThatDoesNotFitIsCutBetweenCharacters) {
  struct Case {
    std::u16string wide;
    std::size_t maxBytes;
    std::string narrow;
  };
  const Case cases[] = {
      {u"abc", 2, "ab"},
      {u"abc", 0, ""},
      {u"a\u00E9", 2, "a"}, // é needs 2
      {u"a\u20AC", 3, "a"}, // € needs 3
      {u"a\u20AC", 4, "a\xE2\x82\xAC"},
      {u"a\U0001F600b", 4, "a"}, // the pair needs 4
      {u"a\U0001F600b", 5, "a\xF0\x9F\x98\x80"},
      {u"a\xD800", 3, "a"}, // its replacement needs 3
  };
  for (const Case& c : cases) {
    EXPECT_EQ(narrowText(c.wide, c.maxBytes), c.narrow) << c.maxBytes;
  }
}
#endif

} // namespace
} // namespace zav
