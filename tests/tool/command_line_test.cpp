// The tool's argument parsing.
#include <gtest/gtest.h>

#include "host/tool/command_line.h"

namespace zav::tool {
namespace {

const std::vector<OptionSpec> kOptions{{"from", "VALUE", ""}, {"morph", "MS", ""}};

TEST(CommandLine, TakesOptionsInBothFormsAndPositionalsAround) {
  const CommandLine line =
      parseCommandLine("glide", {"a.sem", "--from", "-5", "--morph=0", "--", "--b"}, kOptions);
  EXPECT_EQ(line.positionals, (std::vector<std::string>{"a.sem", "--b"}));
  EXPECT_EQ(line.option("from"), "-5");
  EXPECT_EQ(line.option("morph"), "0");
  EXPECT_FALSE(line.option("to"));
  EXPECT_FALSE(line.help);
  EXPECT_TRUE(parseCommandLine("glide", {"-h"}, kOptions).help);
  // A lone dash is an argument, as in many tools.
  EXPECT_EQ(parseCommandLine("glide", {"-"}, kOptions).positionals.size(), 1u);
}

TEST(CommandLine, RefusesWhatItDoesNotKnowWithTheCommandNamed) {
  struct Case {
    std::vector<std::string> arguments;
    const char* message;
  };
  const Case cases[] = {
      {{"--speed", "3"}, "unknown option --speed for glide (see zav-host glide --help)"},
      {{"--speed=3"}, "unknown option --speed for glide (see zav-host glide --help)"},
      {{"-x"}, "unknown option -x for glide (see zav-host glide --help)"},
      {{"--morph"}, "option --morph needs a value: --morph MS"},
      {{"--morph", "1", "--morph=2"}, "option --morph is given twice"},
  };
  for (const Case& c : cases) {
    try {
      parseCommandLine("glide", c.arguments, kOptions);
      ADD_FAILURE() << c.message;
    } catch (const UsageError& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
}

TEST(ParseInteger, ChecksFormAndRange) {
  EXPECT_EQ(parseInteger("--tick", "7", 1, 10), 7);
  EXPECT_EQ(parseInteger("--tick", "+10", 1, 10), 10);
  for (const char* bad : {"0", "11", "", "1.5", "7ms", "99999999999999999999"}) {
    EXPECT_THROW(parseInteger("--tick", bad, 1, 10), UsageError) << bad;
  }
}

} // namespace
} // namespace zav::tool
