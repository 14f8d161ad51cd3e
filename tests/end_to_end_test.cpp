// The built program, started as an operator starts it: from a folder holding it and its Settings
// file, with the answers typed on standard input. Each test checks the whole transcript or the
// whole file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "support/sha256.h"
#include "support/test_support.h"

extern char** environ;

namespace mpx {
namespace {

namespace fs = std::filesystem;
using testing::Installation;
using testing::sha256_hex;

using testing::block_bytes;
using testing::header_bytes;

const std::string banner =
    "  Tavilorquenashimbrel Ver 1.01 Jan 2019\n"
    "  ======================================\n\n"
    "This lets you generate LPCM WAV files containing test waveforms.\n"
    "Please read the Help inside the application before first use\n"
    "and check you have the correct details in your Settings file!\n\n";

// Line ends as written on Linux, whatever console the program ran in.
std::string unix_lines(std::string text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

std::string paths_lines(const Installation& installation) {
  const std::string directory = testing::reported_path(installation.dir.path());
  return "Application directory = " + directory + "\nSettings file at " + directory + "/Settings\n";
}

std::string header_hex(const std::string& file) {
  std::string text;
  for (std::size_t i = 0; i < header_bytes && i < file.size(); ++i) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02x", static_cast<unsigned char>(file[i]));
    if (!text.empty()) text += ' ';
    text += digits;
  }
  return text;
}

std::string le32_hex(std::uint32_t v) {
  char text[16];
  std::snprintf(text, sizeof text, "%02x %02x %02x %02x", v & 0xFF, (v >> 8) & 0xFF,
                (v >> 16) & 0xFF, v >> 24);
  return text;
}

std::string expected_header(std::uint32_t payload) {
  return "52 49 46 46 " + le32_hex(payload + 36) +
         " 57 41 56 45 66 6d 74 20 10 00 00 00 01 00 02 00 00 ee 02 00 00 94 11 00 06 00 18 00 "
         "64 61 74 61 " +
         le32_hex(payload);
}

// Checks the file block by block: silence, identical tone blocks with the given digest, silence.
void expect_file_layout(const std::string& file, int lead_in, int tone, int lead_out,
                        const std::string& tone_digest) {
  const std::uint32_t payload =
      static_cast<std::uint32_t>((lead_in + tone + lead_out) * block_bytes);
  ASSERT_EQ(file.size(), header_bytes + payload);
  EXPECT_EQ(header_hex(file), expected_header(payload));
  const std::string silence(block_bytes, '\0');
  for (int block = 0; block < lead_in + tone + lead_out; ++block) {
    SCOPED_TRACE("block " + std::to_string(block));
    const std::string bytes = file.substr(header_bytes + block * block_bytes, block_bytes);
    if (block < lead_in || block >= lead_in + tone) {
      EXPECT_TRUE(bytes == silence);
    } else {
      EXPECT_EQ(sha256_hex(bytes), tone_digest);
    }
  }
}

TEST(EndToEnd, WholeTranscriptAndFile) {
  Installation installation;
  testing::install_program(installation, "out\n2\n3\n1\n0.0\n1.0\n");
  fs::create_directory(installation.dir.path() / "out");
  const auto result = testing::run_installed(installation, "M\n100\n1000\n");

  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(unix_lines(result.out),
            banner + paths_lines(installation) +
                "\n\n Choose M = Mono / L = Left / R = Right / A = Antiphase / C = Check\n"
                "Chose M  1\n\n"
                "Enter amplitude [percent modulation] => amplitude = 1.0000 wrt FS\n"
                "Enter frequency in Hz => Frequency (rounded to Hz) =>  1000.0 Hz\n\n"
                "Output to directory = out\n"
                "Subcarrier corrections =>  0.000 phase  1.000 amplitude\n"
                " Set to produce track with test waveform of 3 sec duration\n"
                " preceeded by 2 sec silence and followed by 1 of silence.\n"
                "Payload in Bytes = 6912000\n"
                "\nb\n\nc\n"
                "Outfile file leafname => MPX_M1000Hz100dBd24bit\n"
                " fullname => out/MPX_M1000Hz100dBd24bit.wav\n"
                "Payload to write = 6912000\n"
                "MPX kernel created\n"
                "  1\n  2\n  3\n"
                "Track finished\n");
  const std::string file =
      testing::read_file(installation.dir.path() / "out" / "MPX_M1000Hz100dBd24bit.wav");
  expect_file_layout(file, 2, 3, 1, testing::mono_block_digest);
  // Only the finished file is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(installation.dir.path() / "out"),
                          fs::directory_iterator()),
            1);
}

TEST(EndToEnd, EveryModeWritesItsFile) {
  struct Case {
    const char* answers;
    const char* settings;
    const char* file_name;
    std::string tone_digest;
    const char* transcript_tail;
  };
  const Case cases[] = {
      // The calibration signal, with both subcarrier corrections at their neutral values.
      {"C\n", "out 1 2 1 0.0 1.0", "MPXcalibration.wav", testing::calibration_block_digest,
       "Outfile file leafname => MPXcalibration.wav\n fullname => out/MPXcalibration.wav\n"
       "Payload to write = 4608000\nCalibration kernel created\n  1\n  2\nTrack finished\n"},
      // Tone modes: digests of one tone block, confirmed by an independent recomputation of the
      // signal (double precision, same order of operations) outside this program.
      {"l\n100\n1000\n", "out 1 2 1 0.0 1.0", "MPX_L1000Hz100dBd24bit.wav",
       "212109d59e88faba062394f2ef0756222e47e4a34b85bf10467fe720c0b4ebd1",
       "MPX kernel created\n  1\n  2\nTrack finished\n"},
      {"R 50 15000.9", "out 1 2 1 0.05 1.02", "MPX_R15k000Hz050dBd24bit.wav",
       "10ebf6bd263f647fa6cba12e7cc5c3b3a8570f947d260f80221f9202c46003de",
       "MPX kernel created\n  1\n  2\nTrack finished\n"},
      {"A\n29\n400\n", "out 1 2 1 0.0 1.0", "MPX_A400Hz028dBd24bit.wav",
       "e6e599a9db93a313dee1125ff6453c5c9cd439deda698e3f4f3bacc392e4e1c1",
       "MPX kernel created\n  1\n  2\nTrack finished\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file_name);
    Installation installation;
    testing::install_program(installation, c.settings);
    fs::create_directory(installation.dir.path() / "out");
    const auto result = testing::run_installed(installation, c.answers);
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.err, "");
    const std::string out = unix_lines(result.out);
    const std::string tail = c.transcript_tail;
    EXPECT_EQ(out.substr(out.size() - std::min(out.size(), tail.size())), tail);
    const std::string file = testing::read_file(installation.dir.path() / "out" / c.file_name);
    expect_file_layout(file, 1, 2, 1, c.tone_digest);
  }
}

TEST(EndToEnd, DurationEdges) {
  struct Case {
    const char* what;
    const char* settings;
    int lead_in, tone, lead_out;
    const char* transcript_tail;
  };
  const Case cases[] = {
      // No tone: the kernel is still built and announced, but no block or counter follows.
      {"no tone", "out 1 0 1 0 1", 1, 0, 1,
       "Payload to write = 2304000\nMPX kernel created\nTrack finished\n"},
      // A Settings file holding only the folder: a 44-byte file.
      {"directory only", "out", 0, 0, 0,
       "Payload to write = 0\nMPX kernel created\nTrack finished\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Installation installation;
    testing::install_program(installation, c.settings);
    fs::create_directory(installation.dir.path() / "out");
    const auto result = testing::run_installed(installation, "M 100 1000");
    EXPECT_EQ(result.exit_status, 0);
    const std::string out = unix_lines(result.out);
    const std::string tail = c.transcript_tail;
    EXPECT_EQ(out.substr(out.size() - std::min(out.size(), tail.size())), tail);
    const std::string file =
        testing::read_file(installation.dir.path() / "out" / "MPX_M1000Hz100dBd24bit.wav");
    expect_file_layout(file, c.lead_in, c.tone, c.lead_out, testing::mono_block_digest);
  }
}

TEST(EndToEnd, ReplacesAnEarlierFileOfTheSameName) {
  Installation installation;
  testing::install_program(installation, "out 0 1 0 0 1");
  fs::create_directory(installation.dir.path() / "out");
  const fs::path target = installation.dir.path() / "out" / "MPXcalibration.wav";
  testing::write_file(target, std::string(5000000, 'x'));
  const auto result = testing::run_installed(installation, "c");
  EXPECT_EQ(result.exit_status, 0);
  expect_file_layout(testing::read_file(target), 0, 1, 0, testing::calibration_block_digest);
}

TEST(EndToEnd, LongPathsAreNeverCutShort) {
  // A program folder and an output folder well past 511 characters each.
  Installation installation;
  std::string deep;
  for (int level = 0; level < 6; ++level) deep += "/" + std::string(100, 'a' + level);
  const fs::path program_dir = installation.dir.path().string() + deep;
  const std::string output_dir = program_dir.string() + "/out" + deep;
  fs::create_directories(output_dir);
  const fs::path program = program_dir / testing::program_under_test().executable.filename();
  fs::copy_file(testing::program_under_test().executable, program);
  testing::write_file(program_dir / "Settings", output_dir + " 0 1 0 0 1");

  std::vector<std::string> command = testing::installed_command(installation);
  command.back() = program.string();
  const auto result = testing::run_process(command, "c", installation.dir.path());
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_NE(
      result.out.find("Settings file at " + testing::reported_path(program_dir) + "/Settings\n"),
      std::string::npos);
  EXPECT_NE(result.out.find(" fullname => " + output_dir + "/MPXcalibration.wav\n"),
            std::string::npos);
  EXPECT_EQ(testing::read_file(output_dir + "/MPXcalibration.wav").size(), 44 + block_bytes);
}

// Each prompt must be on the screen before the program waits for its answer: the answers are
// typed one by one, each only once its prompt has appeared.
TEST(EndToEnd, PromptsAreVisibleBeforeTheProgramWaits) {
  Installation installation;
  const fs::path out = installation.dir.path() / "out";
  testing::install_program(installation, out.string() + " 0 1 0 0 1");
  fs::create_directory(out);
  const fs::path transcript = installation.dir.path() / "transcript";

  int keyboard[2];
  ASSERT_EQ(pipe(keyboard), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, keyboard[0], 0);
  posix_spawn_file_actions_addclose(&actions, keyboard[1]);
  posix_spawn_file_actions_addopen(&actions, 1, transcript.c_str(), O_WRONLY | O_CREAT, 0644);
  const auto command = testing::installed_command(installation);
  std::vector<char*> argv;
  for (const auto& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  ASSERT_EQ(posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  close(keyboard[0]);

  const std::pair<const char*, const char*> steps[] = {
      {"Antiphase / C = Check\n", "L\n"},
      {"Enter amplitude [percent modulation] => ", "50\n"},
      {"Enter frequency in Hz => ", "1000\n"},
  };
  for (const auto& [prompt, answer] : steps) {
    SCOPED_TRACE(prompt);
    bool shown = false;
    for (int wait = 0; wait < 3000 && !shown; ++wait) {  // up to 30 s for a slow emulator
      const std::string screen = unix_lines(testing::read_file(transcript));
      shown = screen.size() >= std::string(prompt).size() &&
              screen.compare(screen.size() - std::string(prompt).size(), std::string::npos,
                             prompt) == 0;
      if (!shown) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(shown) << "the program waits without showing its prompt";
    ASSERT_EQ(write(keyboard[1], answer, std::strlen(answer)),
              static_cast<ssize_t>(std::strlen(answer)));
  }
  close(keyboard[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(fs::exists(out / "MPX_L1000Hz050dBd24bit.wav"));
}

TEST(EndToEnd, StartedByNameThroughPath) {
  if (testing::program_under_test().windows) GTEST_SKIP() << "a Linux start by name";
  Installation installation;
  testing::install_program(installation, "out 0 1 0 0 1");
  fs::create_directory(installation.dir.path() / "out");
  // The shell finds the program on PATH, so its start path holds no folder at all.
  const auto result = testing::run_process(
      {"/bin/sh", "-c", "PATH=\"$0\" exec mpxtone", installation.dir.path().string()}, "c",
      installation.dir.path());
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_NE(result.out.find(paths_lines(installation)), std::string::npos) << result.out;
  EXPECT_TRUE(fs::exists(installation.dir.path() / "out" / "MPXcalibration.wav"));
}

}  // namespace
}  // namespace mpx
