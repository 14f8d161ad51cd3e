#pragma once

#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

// One figure of mpxcheck's JSON report and what it must be.
struct Figure {
  enum class Check { near, at_least, at_most, null };
  std::string key;
  Check check = Check::near;
  double value = 0;
  double limit = 0;         // near: allowed difference
  std::string relative_to;  // when set, the figure checked is 20·log10(key / relative_to) in dB
};

inline Figure near(std::string key, double value, double limit) {
  return {std::move(key), Figure::Check::near, value, limit, ""};
}
inline Figure at_least(std::string key, double value) {
  return {std::move(key), Figure::Check::at_least, value, 0, ""};
}
inline Figure null_figure(std::string key) {
  return {std::move(key), Figure::Check::null, 0, 0, ""};
}
// key lies at least `db` below relative_to.
inline Figure below_db(std::string key, std::string relative_to, double db) {
  return {std::move(key), Figure::Check::at_most, -db, 0, std::move(relative_to)};
}

// Checks each figure in `report`, recording a failure for every one that misses.
void expect_figures(const JsonObject& report, const std::vector<Figure>& figures);

// Runs mpxcheck --json on `file`, checks the exit status and that the output parses.
std::optional<JsonObject> checked_report(const std::filesystem::path& file, int exit_status,
                                         const ScratchDir& folder);
