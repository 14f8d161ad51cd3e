#include "report_checks.h"

#include <gtest/gtest.h>

#include <cmath>

void expect_figures(const JsonObject& report, const std::vector<Figure>& figures) {
  for (const Figure& figure : figures) {
    SCOPED_TRACE(figure.key);
    const auto found = report.find(figure.key);
    ASSERT_NE(found, report.end()) << "key missing from the report";
    if (figure.check == Figure::Check::null) {
      EXPECT_TRUE(found->second.is_null) << "expected null";
      continue;
    }
    ASSERT_TRUE(found->second.number.has_value()) << "expected a number";
    double value = *found->second.number;
    if (!figure.relative_to.empty()) {
      const auto reference = report.find(figure.relative_to);
      ASSERT_TRUE(reference != report.end() && reference->second.number.has_value());
      value = 20.0 * std::log10(std::abs(value) / std::abs(*reference->second.number));
    }
    switch (figure.check) {
      case Figure::Check::near:
        EXPECT_NEAR(value, figure.value, figure.limit);
        break;
      case Figure::Check::at_least:
        EXPECT_GE(value, figure.value);
        break;
      case Figure::Check::at_most:
        EXPECT_LE(value, figure.value);
        break;
      case Figure::Check::null:
        break;
    }
  }
}

std::optional<JsonObject> checked_report(const std::filesystem::path& file, int exit_status,
                                         const ScratchDir& folder) {
  const RunResult run = run_mpxcheck({file.string(), "--json"}, folder);
  EXPECT_EQ(run.exit_status, exit_status) << run.err;
  EXPECT_EQ(run.err, "");
  std::optional<JsonObject> report = parse_flat_json(run.out);
  EXPECT_TRUE(report.has_value()) << "not a flat JSON object:\n" << run.out;
  return report;
}
