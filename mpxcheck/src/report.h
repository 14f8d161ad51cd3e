#pragma once

#include <string>

#include "analyse_file.h"

// The report for people: one figure a line, with its unit.
std::string text_report(const Analysis& analysis);

// The same figures as one JSON object; the keys are documented in the README and scripts rely on
// them. Figures that do not apply to the file are null.
std::string json_report(const Analysis& analysis);
