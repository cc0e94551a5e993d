#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/ArgumentCursor.h"

namespace melovantis {
namespace {

TEST(ArgumentCursor, OptionsTakeTheirValueFromTheNextArgumentAndNeverReadPastTheEnd) {
  const std::vector<std::string> args{"in.wav", "--midi", "out.mid", "--jobs", "3", "--settings"};
  ArgumentCursor cursor(args);
  EXPECT_EQ(cursor.next(), "in.wav");
  EXPECT_EQ(cursor.next(), "--midi");
  std::filesystem::path midi;
  ASSERT_TRUE(cursor.value(midi));
  EXPECT_EQ(midi, "out.mid");
  EXPECT_EQ(cursor.next(), "--jobs");
  EXPECT_EQ(cursor.wholeNumber(1, 256), 3);
  EXPECT_EQ(cursor.next(), "--settings");
  ASSERT_TRUE(cursor.atEnd());
  std::filesystem::path settings = "kept";
  EXPECT_FALSE(cursor.value(settings));
  EXPECT_EQ(settings, "kept");
  EXPECT_EQ(cursor.value(), std::nullopt);
  EXPECT_EQ(cursor.wholeNumber(0, 10), std::nullopt);
}

TEST(ArgumentCursor, WholeNumbersAreDecimalWithAnOptionalSignAndInsideTheirRange) {
  EXPECT_EQ(parseWholeNumber("+12", -50, 50), 12);
  EXPECT_EQ(parseWholeNumber("-50", -50, 50), -50);
  EXPECT_EQ(parseWholeNumber("50", -50, 50), 50);
  for (const char* bad : {"", "+", "-", "51", "-51", " 5", "5 ", "5x", "0x10", "1e2", "2.5",
                          "99999999999", "+-3", "++3"}) {
    EXPECT_EQ(parseWholeNumber(bad, -50, 50), std::nullopt) << '"' << bad << '"';
  }
}

}  // namespace
}  // namespace melovantis
