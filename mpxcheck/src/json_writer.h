#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One member of a flat JSON object; `value` is already JSON text.
struct JsonMember {
  std::string key;
  std::string value;
};

// A number with nine significant digits, or null when absent or not finite.
std::string json_number(std::optional<double> value);
std::string json_string(std::string_view text);
std::string json_string_array(const std::vector<std::string>& texts);

// {"key": value, ...} with one member a line.
std::string json_object(const std::vector<JsonMember>& members);
