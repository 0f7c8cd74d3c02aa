#include "input/columns.hpp"

#include "input/number_grammar.hpp"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace tradepl {
namespace {

// Splits `line` into at most `wanted` columns and returns their texts, the same whether the
// commas are looked for one byte or sixteen bytes at a time, with slack past the columns
// wanted or without.
std::vector<std::string> split(const std::string& line, std::size_t wanted = 24) {
  std::vector<std::string> texts[3];
  for (const std::size_t slack : {std::size_t{0}, kColumnSlack}) {
    for (const CommaSearch search : {CommaSearch::oneByteAtATime, CommaSearch::sixteenAtATime}) {
      std::array<Column, 24 + kColumnSlack> columns;
      bool mayHoldNul = false;
      ColumnSplitter splitter(search);
      const std::size_t found =
          splitter.split(line, std::span(columns.data(), wanted + slack), slack, mayHoldNul);
      std::vector<std::string>& into = texts[slack != 0 ? 2 : static_cast<int>(search)];
      into.clear();
      for (std::size_t i = 0; i < found; ++i) into.emplace_back(columns[i].view());
    }
  }
  EXPECT_EQ(texts[0], texts[1]) << line;
  EXPECT_EQ(texts[0], texts[2]) << line;
  return texts[1];
}

using Texts = std::vector<std::string>;

TEST(SplitColumns, SplitsAtEveryCommaOfAPlainLine) {
  EXPECT_EQ(split("a,bc,,d"), (Texts{"a", "bc", "", "d"}));
  EXPECT_EQ(split("a,b,"), (Texts{"a", "b", ""}));
  EXPECT_EQ(split(""), (Texts{""}));
}

TEST(SplitColumns, KeepsCommasInsideQuotes) {
  EXPECT_EQ(split("x,\"1,234,567\",y"), (Texts{"x", "1,234,567", "y"}));
}

TEST(SplitColumns, ReadsDoubledQuotesInsideQuotesAsOneQuote) {
  EXPECT_EQ(split("\"say \"\"hi\"\"\",z"), (Texts{"say \"hi\"", "z"}));
}

TEST(SplitColumns, RunsAnUnclosedQuoteToTheEndOfTheLine) {
  EXPECT_EQ(split("a,\"b,c,d"), (Texts{"a", "b,c,d"}));
}

TEST(SplitColumns, DropsQuotesOfALineWithNoQuotedCommaAsAlways) {
  // Quotes anywhere in a column simply disappear.
  EXPECT_EQ(split("\"a\"b,c\"d,e"), (Texts{"ab", "cd,e"}));
  EXPECT_EQ(split("\"\",x"), (Texts{"", "x"}));
}

TEST(SplitColumns, StopsAtTheWantedCountAndLeavesTheRestAlone) {
  EXPECT_EQ(split("a,b,c,d", 2), (Texts{"a", "b"}));
  EXPECT_EQ(split("a,\"b\",c,\"d", 2), (Texts{"a", "b"}));
}

TEST(SplitColumns, FindsCommasAndQuotesAcrossSixteenByteStretches) {
  // Separators right before, at and after a 16-byte boundary, and a quote far into the line.
  EXPECT_EQ(split("0123456789abcde,0123456789abcdef,x"),
            (Texts{"0123456789abcde", "0123456789abcdef", "x"}));
  EXPECT_EQ(split("0123456789abcdef0123456789,\"a,b\",c"),
            (Texts{"0123456789abcdef0123456789", "a,b", "c"}));
  EXPECT_EQ(split("a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q", 3), (Texts{"a", "b", "c"}));
}

TEST(SplitColumns, FindsCommasAndQuotesAcrossSixtyFourByteStretches) {
  // Lines of 63 to 130 bytes: a comma at the last byte of a stretch and the first of the
  // next, the last stretch overlapping, a quote in the second stretch.
  const std::string bytes62(62, 'x');
  EXPECT_EQ(split(bytes62 + "y"), (Texts{bytes62 + "y"}));
  EXPECT_EQ(split(bytes62 + "y,z"), (Texts{bytes62 + "y", "z"}));
  EXPECT_EQ(split(bytes62 + "y,,z"), (Texts{bytes62 + "y", "", "z"}));
  EXPECT_EQ(split(bytes62 + "," + bytes62 + ",\"a,b\",c"), (Texts{bytes62, bytes62, "a,b", "c"}));
  EXPECT_EQ(split(bytes62 + "," + bytes62 + ",c", 2), (Texts{bytes62, bytes62}));
}

TEST(SplitColumns, KeepsShiftJisBytesIntact) {
  // 表 ends in 0x5C and ソ in 0x5C too: trail bytes are never taken for separators.
  const std::string line = "\x95\x5C,\x83\x5C\"\x83\x5C\"";
  EXPECT_EQ(split(line), (Texts{"\x95\x5C", "\x83\x5C\x83\x5C"}));
}

struct IntegerCase {
  const char* text;
  NumberProblem problem;
  std::int64_t value;

  friend void PrintTo(const IntegerCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }
};

class ParseInteger : public ::testing::TestWithParam<IntegerCase> {};

// The text after eight bytes of another column, for a reading that may look before it.
std::string afterEightBytes(const char* text) {
  return std::string("9-9,x\"9 ") + text;
}

TEST_P(ParseInteger, ReadsTheLogsNumberGrammar) {
  const IntegerCase& c = GetParam();
  const std::string padded = afterEightBytes(c.text);
  for (const bool roomBefore : {false, true}) {
    std::int64_t value = -999;
    const std::string_view text = roomBefore ? std::string_view(padded).substr(8) : c.text;
    EXPECT_EQ(readInteger(text, value, roomBefore), c.problem) << '"' << c.text << '"';
    if (c.problem == NumberProblem::none) {
      EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    }
  }
}

constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
constexpr auto kMax = std::numeric_limits<std::int64_t>::max();

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseInteger,
    ::testing::Values(IntegerCase{"0", NumberProblem::none, 0},
                      IntegerCase{"7", NumberProblem::none, 7},
                      IntegerCase{"/", NumberProblem::notANumber, 0},
                      IntegerCase{":", NumberProblem::notANumber, 0},
                      IntegerCase{"-0", NumberProblem::none, 0},
                      IntegerCase{"+42", NumberProblem::none, 42},
                      IntegerCase{" \t-1280 \t", NumberProblem::none, -1280},
                      IntegerCase{"1,234,567", NumberProblem::none, 1234567},
                      IntegerCase{"12,34", NumberProblem::none, 1234},
                      IntegerCase{"9223372036854775807", NumberProblem::none, kMax},
                      IntegerCase{"-9223372036854775808", NumberProblem::none, kMin},
                      IntegerCase{"9223372036854775808", NumberProblem::outOfRange, 0},
                      IntegerCase{"-9223372036854775809", NumberProblem::outOfRange, 0},
                      IntegerCase{"99999999999999999999999", NumberProblem::outOfRange, 0},
                      IntegerCase{"0000000000000000000000042", NumberProblem::none, 42},
                      IntegerCase{"", NumberProblem::notANumber, 0},
                      IntegerCase{"  ", NumberProblem::notANumber, 0},
                      IntegerCase{"-", NumberProblem::notANumber, 0},
                      IntegerCase{"123.5", NumberProblem::notANumber, 0},
                      IntegerCase{"12a", NumberProblem::notANumber, 0},
                      IntegerCase{"1 2", NumberProblem::notANumber, 0},
                      IntegerCase{",1", NumberProblem::notANumber, 0},
                      IntegerCase{"1,", NumberProblem::notANumber, 0},
                      IntegerCase{"1,,2", NumberProblem::notANumber, 0},
                      IntegerCase{"--1", NumberProblem::notANumber, 0},
                      IntegerCase{"0x10", NumberProblem::notANumber, 0}));

struct PriceCase {
  const char* text;
  NumberProblem problem;
  double value;

  friend void PrintTo(const PriceCase& c, std::ostream* out) { *out << '"' << c.text << '"'; }
};

class ParsePrice : public ::testing::TestWithParam<PriceCase> {};

TEST_P(ParsePrice, ReadsWholeAndDecimalPrices) {
  const PriceCase& c = GetParam();
  const std::string padded = afterEightBytes(c.text);
  for (const bool roomBefore : {false, true}) {
    double value = -999.0;
    ExactPrice exact;
    const std::string_view text = roomBefore ? std::string_view(padded).substr(8) : c.text;
    EXPECT_EQ(readPrice(text, value, exact, roomBefore), c.problem) << '"' << c.text << '"';
    if (c.problem == NumberProblem::none) {
      EXPECT_EQ(value, c.value) << '"' << c.text << '"';
      EXPECT_FALSE(std::signbit(value) && value == 0.0) << "minus zero from " << c.text;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParsePrice,
    ::testing::Values(PriceCase{"2345", NumberProblem::none, 2345.0},
                      PriceCase{"2345.5", NumberProblem::none, 2345.5},
                      PriceCase{" +0.1 ", NumberProblem::none, 0.1},
                      PriceCase{"1,350.25", NumberProblem::none, 1350.25},
                      PriceCase{"-12.75", NumberProblem::none, -12.75},
                      PriceCase{"-0", NumberProblem::none, 0.0},
                      PriceCase{"-0.0", NumberProblem::none, 0.0},
                      PriceCase{"999999999999999", NumberProblem::none, 999999999999999.0},
                      PriceCase{"1000000000000000", NumberProblem::outOfRange, 0},
                      PriceCase{"123456789012345678901234", NumberProblem::outOfRange, 0},
                      PriceCase{"92233720368547758.08", NumberProblem::outOfRange, 0},
                      PriceCase{"0.00000000000000000001", NumberProblem::none, 1e-20},
                      PriceCase{"12.", NumberProblem::notANumber, 0},
                      PriceCase{".5", NumberProblem::notANumber, 0},
                      PriceCase{"1e5", NumberProblem::notANumber, 0},
                      PriceCase{"inf", NumberProblem::notANumber, 0},
                      PriceCase{"nan", NumberProblem::notANumber, 0},
                      PriceCase{"1.2.3", NumberProblem::notANumber, 0},
                      PriceCase{"", NumberProblem::notANumber, 0}));

TEST(ParsePrice, ReadsLongDecimalsToTheNearestDouble) {
  double value = 0;
  ExactPrice exact;
  ASSERT_EQ(readPrice("0.1000000000000000055511151231257827", value, exact), NumberProblem::none);
  EXPECT_EQ(value, 0.1);
}

TEST(ParsePrice, AgreesWithAFullDecimalConversionOnRandomPrices) {
  std::mt19937_64 random(11);
  for (int i = 0; i < 200000; ++i) {
    const int digits = 1 + static_cast<int>(random() % 15);
    std::string text = std::to_string(random() % 1000000000000000ULL).substr(0, digits);
    const std::size_t decimals = random() % (text.size() + 1);
    if (decimals > 0 && decimals < text.size()) text.insert(text.size() - decimals, ".");
    if (random() % 4 == 0) text.insert(0, "-");
    double expected = 0;
    std::from_chars(text.data(), text.data() + text.size(), expected);
    double parsed = 0;
    ExactPrice exact;
    ASSERT_EQ(readPrice(text, parsed, exact), NumberProblem::none) << text;
    ASSERT_EQ(parsed, expected) << text;
  }
}

TEST(ParseInteger, AgreesWithFromCharsOnRandomNumbers) {
  std::mt19937_64 random(13);
  for (int i = 0; i < 200000; ++i) {
    const auto number = static_cast<std::int64_t>(random()) >> (random() % 64);
    const std::string text = std::to_string(number);
    std::int64_t parsed = 0;
    ASSERT_EQ(readInteger(text, parsed), NumberProblem::none) << text;
    ASSERT_EQ(parsed, number) << text;
  }
}

// Plain digits take a fast path; every column must read as the general grammar reads it.
// Each count of digits from 0 to 19 (a word of eight, two words, past the fast path), signed
// or not, and with each digit in turn replaced by a byte next to the digits in ASCII
// ('/' and ':' to '?' share the digits' high half), a separator or a Shift_JIS byte.
TEST(ParseNumbers, ReadPlainDigitsAsTheGeneralGrammarDoes) {
  const std::string digits = "9876543210987654321";
  for (std::size_t count = 0; count <= digits.size(); ++count) {
    for (const std::string sign : {"", "-", "+"}) {
      std::vector<std::string> texts{sign + digits.substr(0, count), sign + std::string(count, '9'),
                                     sign + std::string(count, '0')};
      for (std::size_t at = 0; at < count; ++at) {
        for (const char odd : {'/', ':', '?', '.', ',', ' ', '\x80', '\0'}) {
          texts.push_back(sign + digits.substr(0, count));
          texts.back()[sign.size() + at] = odd;
        }
      }
      for (const std::string& text : texts) {
        std::int64_t fast = -1;
        std::int64_t careful = -1;
        ASSERT_EQ(readInteger(text, fast), detail::readIntegerCarefully(text, careful)) << text;
        EXPECT_EQ(fast, careful) << text;
        double fastPrice = -1;
        double carefulPrice = -1;
        ExactPrice fastExact;
        ExactPrice carefulExact;
        ASSERT_EQ(readPrice(text, fastPrice, fastExact),
                  detail::readPriceCarefully(text, carefulPrice, carefulExact))
            << text;
        EXPECT_EQ(fastPrice, carefulPrice) << text;
        EXPECT_EQ(std::signbit(fastPrice), std::signbit(carefulPrice)) << text;
        EXPECT_EQ(
            std::tuple(fastExact.digits, fastExact.decimals, fastExact.negative, fastExact.known),
            std::tuple(carefulExact.digits, carefulExact.decimals, carefulExact.negative,
                       carefulExact.known))
            << text;
      }
    }
  }
}

StockCode code(std::string_view text) {
  StockCode parsed;
  parsed.number = -1;
  EXPECT_TRUE(readStockCode(text, parsed)) << text;
  return parsed;
}

TEST(ParseStockCode, ReadsNumbersAsNumbers) {
  EXPECT_EQ(code("7203"), (StockCode{7203, Text()}));
  EXPECT_EQ(code(" 0007\t"), (StockCode{7, Text()}));
}

TEST(ParseStockCode, KeepsCodesWithLettersAsWrittenWithoutSurroundingBlanks) {
  const StockCode parsed = code(" 130A ");
  ASSERT_TRUE(parsed.isSymbol());
  EXPECT_EQ(parsed.symbol.view(), "130A");
}

TEST(ParseStockCode, RejectsWhatIsNeitherNumberNorCode) {
  for (const char* text : {"", "  ", "13-0A", "A.B", "12.5", "\x82\x50\x82\x51"}) {
    StockCode parsed;
    EXPECT_FALSE(readStockCode(text, parsed)) << text;
  }
}

TEST(IsBlank, AcceptsOnlySpacesAndTabs) {
  EXPECT_TRUE(isBlank(""));
  EXPECT_TRUE(isBlank(" \t "));
  EXPECT_FALSE(isBlank(" , "));
}

}  // namespace
}  // namespace tradepl
