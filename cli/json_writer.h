// A small streaming JSON writer for the command-line tool's output.
#pragma once

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace sonalyt::cli {

class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  JsonWriter& Key(std::string_view key);
  JsonWriter& String(std::string_view utf8);
  JsonWriter& Int(std::int64_t value);
  JsonWriter& Float(double value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  template <typename T>
  JsonWriter& IntArray(std::span<const T> values) {
    BeginArray();
    for (const T& v : values) Int(static_cast<std::int64_t>(v));
    return EndArray();
  }

 private:
  void BeforeValue();
  std::ostream& out_;
  // One entry per open container: true once it holds a value.
  std::vector<bool> hasValue_;
  bool afterKey_ = false;
};

}  // namespace sonalyt::cli
