// The reader must behave exactly like the C library's scanf conversions: same value, same
// success or failure, and the same number of characters taken from the input. Each case is read
// by both, the C library through fscanf on an in-memory stream.
#include "run/scanner.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>

namespace mpx {
namespace {

enum class Conversion { Char, Integer, Real, Token };

struct Reading {
  bool ok = false;
  std::string value;  // the value as text, comparable across both readers
  long position = 0;
};

std::string real_text(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
  char text[64];
  std::snprintf(text, sizeof text, "%a", value);
  return text;
}

Reading read_with_c_library(Conversion conversion, const std::string& input) {
  std::string buffer = input;
  FILE* stream = fmemopen(buffer.empty() ? nullptr : buffer.data(), buffer.size(), "r");
  if (stream == nullptr) stream = fmemopen(nullptr, 1, "r");
  Reading reading;
  switch (conversion) {
    case Conversion::Char: {
      char c = 0;
      reading.ok = std::fscanf(stream, " %c", &c) == 1;
      if (reading.ok) reading.value = std::string(1, c);
      break;
    }
    case Conversion::Integer: {
      long n = 0;
      reading.ok = std::fscanf(stream, "%ld", &n) == 1;
      if (reading.ok) reading.value = std::to_string(n);
      break;
    }
    case Conversion::Real: {
      double d = 0;
      reading.ok = std::fscanf(stream, "%lf", &d) == 1;
      if (reading.ok) reading.value = real_text(d);
      break;
    }
    case Conversion::Token: {
      std::vector<char> token(input.size() + 1);
      reading.ok = std::fscanf(stream, "%s", token.data()) == 1;
      if (reading.ok) reading.value = token.data();
      break;
    }
  }
  reading.position = std::ftell(stream);
  std::fclose(stream);
  return reading;
}

Reading read_with_scanner(Conversion conversion, const std::string& input) {
  std::istringstream stream(input);
  Scanner scanner(*stream.rdbuf());
  Reading reading;
  switch (conversion) {
    case Conversion::Char:
      if (auto c = scanner.read_char()) reading = {true, std::string(1, *c)};
      break;
    case Conversion::Integer:
      if (auto n = scanner.read_integer()) reading = {true, std::to_string(*n)};
      break;
    case Conversion::Real:
      if (auto d = scanner.read_real()) reading = {true, real_text(*d)};
      break;
    case Conversion::Token:
      if (auto token = scanner.read_token()) reading = {true, *token};
      break;
  }
  reading.position = static_cast<long>(scanner.consumed());
  return reading;
}

void expect_same(Conversion conversion, const std::string& input) {
  const Reading expected = read_with_c_library(conversion, input);
  const Reading actual = read_with_scanner(conversion, input);
  EXPECT_EQ(actual.ok, expected.ok) << "input '" << input << "'";
  EXPECT_EQ(actual.value, expected.value) << "input '" << input << "'";
  EXPECT_EQ(actual.position, expected.position) << "input '" << input << "'";
}

TEST(Scanner, RealsLikeTheCLibrary) {
  const char* inputs[] = {
      "90", "  1000.7\n", "-5", "+.5", ".5", ".", "-", "+", "", "   ", "abc",
      "1e5", "1e", "1e+", "1e+x", "1E-3z", "1.5.3", "5.5", "2.", "-.e1", "007",
      "inf", "INF", "-Infinity", "infinityx", "infin", "infx", "in", "i",
      "nan", "NaN(1)", "-nan", "na", "nax", "n",
      "0x1p3", "0X1.8P-1", "0x", "0xg", "0x.8", "0xp3", "0x1e2", "0x1e+2", "0x1p", "0.5e",
      "Mono", "1000Hz", "1,5", "\t\n\v\f\r42", "1e400", "-1e400", "1e-400",
  };
  for (const char* input : inputs) {
    SCOPED_TRACE(input);
    expect_same(Conversion::Real, input);
  }
}

TEST(Scanner, IntegersLikeTheCLibrary) {
  const char* inputs[] = {
      "2", " 30\n", "-7", "+7", "-", "+", "-x", "5.5", "0x10", "007", "", "  ", "x1",
      "2147483648", "-2147483649", "99999999999999999999", "-99999999999999999999", "1e3",
  };
  for (const char* input : inputs) {
    SCOPED_TRACE(input);
    expect_same(Conversion::Integer, input);
  }
}

TEST(Scanner, CharactersAndTokensLikeTheCLibrary) {
  const char* inputs[] = {"M", "  l\n", "\n\nMono", "", " \t ", "D:\\tracks 2 30", "a\tb",
                          "/tmp/x/y\n2"};
  for (const char* input : inputs) {
    SCOPED_TRACE(input);
    expect_same(Conversion::Char, input);
    expect_same(Conversion::Token, input);
  }
}

// Random strings over the characters that matter to numbers, read by all four conversions.
TEST(Scanner, RandomisedAgainstTheCLibrary) {
  const std::string alphabet = " \t\n0123456789+-.eEpPxXaAbcdfFiInNtTyY(),";
  std::mt19937 random(20261211);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 16);
  for (int round = 0; round < 100000; ++round) {
    std::string input;
    for (int i = length(random); i > 0; --i) input.push_back(alphabet[pick(random)]);
    for (Conversion conversion :
         {Conversion::Char, Conversion::Integer, Conversion::Real, Conversion::Token}) {
      const Reading expected = read_with_c_library(conversion, input);
      const Reading actual = read_with_scanner(conversion, input);
      ASSERT_EQ(actual.ok, expected.ok) << "input '" << input << "' conversion "
                                        << static_cast<int>(conversion);
      ASSERT_EQ(actual.value, expected.value) << "input '" << input << "'";
      ASSERT_EQ(actual.position, expected.position) << "input '" << input << "'";
    }
  }
}

// A failed conversion leaves the offending text for the next read.
TEST(Scanner, FailureLeavesTextForTheNextRead) {
  std::istringstream stream("Mono\n90\n");
  Scanner scanner(*stream.rdbuf());
  EXPECT_EQ(scanner.read_char(), 'M');
  EXPECT_EQ(scanner.read_real(), std::nullopt);
  EXPECT_EQ(scanner.read_real(), std::nullopt);
  EXPECT_EQ(scanner.read_token(), "ono");
  EXPECT_EQ(scanner.read_real(), 90.0);
  EXPECT_EQ(scanner.read_real(), std::nullopt);  // end of input
}

}  // namespace
}  // namespace mpx
