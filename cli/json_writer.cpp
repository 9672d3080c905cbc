#include "cli/json_writer.h"

#include <cmath>
#include <cstdio>

namespace sonalyt::cli {

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasValue_.empty()) {
    if (hasValue_.back()) out_ << ',';
    hasValue_.back() = true;
  }
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  out_ << '{';
  hasValue_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  out_ << '}';
  hasValue_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  out_ << '[';
  hasValue_.push_back(false);
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  out_ << ']';
  hasValue_.pop_back();
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
  String(key);
  out_ << ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  out_ << '"';
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out_ << "\\\""; break;
      case '\\': out_ << "\\\\"; break;
      case '\n': out_ << "\\n"; break;
      case '\r': out_ << "\\r"; break;
      case '\t': out_ << "\\t"; break;
      default:
        if (u < 0x20) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
          out_ << buffer;
        } else {
          out_ << c;
        }
    }
  }
  out_ << '"';
  return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t value) {
  BeforeValue();
  out_ << value;
  return *this;
}

JsonWriter& JsonWriter::Float(double value) {
  if (!std::isfinite(value)) return Null();
  BeforeValue();
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.9g", value);
  out_ << buffer;
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  out_ << (value ? "true" : "false");
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  out_ << "null";
  return *this;
}

}  // namespace sonalyt::cli
