#include "recording/parameter_block.h"

#include <cstddef>
#include <cstring>
#include <ostream>
#include <type_traits>

namespace sonalyt::recording {
namespace {

template <typename T>
T Read(std::span<const std::uint8_t, kParameterBlockBytes> b, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) v |= std::uint32_t{b[at + i]} << (8 * i);
  return static_cast<T>(v);
}

template <typename T>
void Write(std::array<std::uint8_t, kParameterBlockBytes>& b, std::size_t at, T value) {
  auto v = static_cast<std::uint32_t>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Applies one visitor to every named scalar with its offset (array fields
// element by element), so that reading and writing cannot disagree on the
// layout.
template <typename Block, typename Visit>
void ForEachField(Block& p, Visit&& visit) {
  ForEachNamedField(p, [&](std::string_view, std::size_t at, auto& field) {
    using Field = std::remove_cvref_t<decltype(field)>;
    if constexpr (std::is_arithmetic_v<Field>) {
      visit(at, field);
    } else {
      constexpr std::size_t kElementBytes = sizeof(field[0]);
      for (std::size_t i = 0; i < field.size(); ++i) visit(at + kElementBytes * i, field[i]);
    }
  });
}

}  // namespace

ParameterBlock ParameterBlock::FromBytes(std::span<const std::uint8_t, kParameterBlockBytes> bytes) {
  ParameterBlock p;
  std::memcpy(p.Bytes.data(), bytes.data(), bytes.size());
  ForEachField(p, [&](std::size_t at, auto& field) {
    field = Read<std::remove_reference_t<decltype(field)>>(bytes, at);
  });
  return p;
}

std::array<std::uint8_t, kParameterBlockBytes> ParameterBlock::ToBytes() const {
  auto bytes = Bytes;
  ForEachField(*this, [&](std::size_t at, const auto& field) { Write(bytes, at, field); });
  return bytes;
}

const BitField* FindBitField(std::string_view name) {
  for (const BitField& field : kBitFields) {
    if (field.Name == name) return &field;
  }
  return nullptr;
}

void SetBitField(ParameterBlock& p, std::string_view name, std::uint32_t value) {
  if (const BitField* field = FindBitField(name)) field->Set(p, value);
}

void PrintTo(const ParameterBlock& p, std::ostream* os) {
  *os << "ParameterBlock{";
  const char* separator = "";
  ForEachNamedField(p, [&](std::string_view name, std::size_t, const auto& field) {
    using Field = std::remove_cvref_t<decltype(field)>;
    *os << separator << name << '=';
    separator = " ";
    if constexpr (std::is_arithmetic_v<Field>) {
      *os << +field;
    } else {
      const char* comma = "";
      *os << '[';
      for (const auto v : field) {
        *os << comma << +v;
        comma = ",";
      }
      *os << ']';
    }
  });
  for (const BitField& field : kBitFields) *os << ' ' << field.Name << '=' << field.Get(p);
  *os << " Bytes=";
  static constexpr char kHex[] = "0123456789abcdef";
  for (const std::uint8_t b : p.Bytes) *os << kHex[b >> 4] << kHex[b & 0xF];
  *os << '}';
}

}  // namespace sonalyt::recording
