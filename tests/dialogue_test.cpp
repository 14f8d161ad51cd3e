#include "run/dialogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "run/console.h"

namespace mpx {
namespace {

const std::string mode_prompt =
    "\n\n Choose M = Mono / L = Left / R = Right / A = Antiphase / C = Check\n";

std::string tone_transcript(char letter, int number, const char* amplitude,
                            const char* frequency) {
  return mode_prompt + "Chose " + letter + "  " + std::to_string(number) +
         "\n\nEnter amplitude [percent modulation] => amplitude = " + amplitude +
         " wrt FS\nEnter frequency in Hz => Frequency (rounded to Hz) => " + frequency +
         " Hz\n\n";
}

TEST(Dialogue, AnswersAndTranscript) {
  struct Case {
    const char* what;
    std::string input;
    char letter;
    std::int32_t number;
    double amplitude, frequency;
    std::string transcript;
  };
  const Case cases[] = {
      {"fraction of a hertz dropped", "m\n90\n1000.7\n", 'M', 1, 0.9, 1000.0,
       tone_transcript('M', 1, "0.9000", " 1000.0")},
      {"calibration asks nothing more", "c\n", 'C', 10, 0.0, 400.0,
       mode_prompt + "Chose C  10\n\n"},
      {"below 1 Hz", "L 50 0.3", 'L', 2, 0.5, 1.0, tone_transcript('L', 2, "0.5000", "    1.0")},
      {"above 95990 Hz", "R 50 120000", 'R', 3, 0.5, 95990.0,
       tone_transcript('R', 3, "0.5000", "95990.0")},
      {"exactly 95990 Hz", "a 50 95990", 'A', 4, 0.5, 95990.0,
       tone_transcript('A', 4, "0.5000", "95990.0")},
      {"level above 100 % taken", "L\n150\n400\n", 'L', 2, 1.5, 400.0,
       tone_transcript('L', 2, "1.5000", "  400.0")},
      {"negative level taken", "L -5 400", 'L', 2, -0.05, 400.0,
       tone_transcript('L', 2, "-0.0500", "  400.0")},
      {"largest level taken", "L 1e9 400", 'L', 2, 1e7, 400.0,
       tone_transcript('L', 2, "10000000.0000", "  400.0")},
      // The word Mono: M, then "ono" fails both number reads without waiting for more input.
      {"the word Mono", "Mono\n90\n1000\n", 'M', 1, 0.0, 400.0,
       tone_transcript('M', 1, "0.0000", "  400.0")},
      {"letters at the level prompt", "L\nloud\n1000\n", 'L', 2, 0.0, 400.0,
       tone_transcript('L', 2, "0.0000", "  400.0")},
      {"end of input at the mode prompt", "", 'M', 1, 0.0, 400.0,
       tone_transcript('M', 1, "0.0000", "  400.0")},
      {"end of input at the frequency prompt", "R 20", 'R', 3, 0.2, 400.0,
       tone_transcript('R', 3, "0.2000", "  400.0")},
      {"infinite frequency", "M 10 inf", 'M', 1, 0.1, 95990.0,
       tone_transcript('M', 1, "0.1000", "95990.0")},
      {"minus infinite frequency", "M 10 -infinity", 'M', 1, 0.1, 1.0,
       tone_transcript('M', 1, "0.1000", "    1.0")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GeneratorSettings settings;
    std::istringstream in(c.input);
    std::ostringstream out;
    configure_signal(settings, in, out);
    EXPECT_EQ(settings.mode_letter, c.letter);
    EXPECT_EQ(settings.mode_number, c.number);
    EXPECT_DOUBLE_EQ(settings.amplitude, c.amplitude);
    EXPECT_EQ(settings.tone_frequency, c.frequency);
    EXPECT_EQ(out.str(), c.transcript);
  }
}

TEST(Dialogue, RefusedAnswers) {
  struct Case {
    const char* what;
    std::string input;
    std::string message_part;
  };
  const Case cases[] = {
      {"letter outside the table", "X\n90\n1000\n", "mode letter 'X'"},
      {"digit as mode", "5\n", "mode letter '5'"},
      {"infinite level", "L\ninf\n1000\n", "amplitude entry inf"},
      {"not-a-number level", "L\nnan\n1000\n", "amplitude entry nan"},
      {"level beyond any file name", "L\n1e300\n1000\n", "out of range"},
      {"just beyond the largest level", "L\n-1000000001\n1000\n",
       "amplitude entry -1e+09 percent is out of range (at most 1e+09 either way)"},
      {"not-a-number frequency", "L\n50\nNaN\n", "frequency entry nan"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    GeneratorSettings settings;
    std::istringstream in(c.input);
    std::ostringstream out;
    try {
      configure_signal(settings, in, out);
      ADD_FAILURE() << "accepted";
    } catch (const RunError& error) {
      EXPECT_NE(std::string(error.what()).find(c.message_part), std::string::npos)
          << error.what();
    }
  }
}

TEST(Dialogue, UnknownLetterNamesTheChoices) {
  GeneratorSettings settings;
  std::istringstream in("Q");
  std::ostringstream out;
  EXPECT_THROW(
      {
        try {
          configure_signal(settings, in, out);
        } catch (const RunError& error) {
          EXPECT_STREQ(error.what(),
                       "mode letter 'Q' is not one of M (Mono), L (Left), R (Right), "
                       "A (Antiphase) or C (Check)");
          throw;
        }
      },
      RunError);
  EXPECT_EQ(out.str(), mode_prompt);  // nothing confirmed
}

}  // namespace
}  // namespace mpx
