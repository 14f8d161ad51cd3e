#include "json_writer.h"

#include <cmath>
#include <cstdio>

std::string json_number(std::optional<double> value) {
  if (!value || !std::isfinite(*value)) return "null";
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", *value);
  return text;
}

std::string json_string(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

std::string json_string_array(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) out += ", ";
    out += json_string(texts[i]);
  }
  return out + "]";
}

std::string json_object(const std::vector<JsonMember>& members) {
  std::string out = "{\n";
  for (std::size_t i = 0; i < members.size(); ++i) {
    out += "  " + json_string(members[i].key) + ": " + members[i].value;
    out += i + 1 < members.size() ? ",\n" : "\n";
  }
  return out + "}\n";
}
