#include "recording/parameter_block.h"

#include <cstddef>
#include <cstring>
#include <ostream>
#include <type_traits>

namespace sonalyt::recording {
namespace {

// Byte offsets of the named fields within the block.
enum Offset : std::size_t {
  kStampBcd = 0, kNoteLength = 3, kChannelWord = 16, kUnitWord = 20, kDisplayWord = 24,
  kCurveWord = 48, kCurveFlags = 52, kRange = 56, kDelay = 68, kProbeZero = 92,
  kVelocity = 94, kProbeAngle = 96, kProbeFront = 98, kProbeFrequency = 100,
  kCrystalSize = 102, kRejectLevel = 104, kSurfaceCompensation = 106, kBaseGain = 108,
  kScanGain = 112, kCurveOffset = 114, kGateAStart = 132, kGateAWidth = 134,
  kGateALevel = 136, kGateBStart = 140, kGateBWidth = 142, kGateBLevel = 144,
  kDacPointDb = 148, kDacPointPath = 168, kDacPointCount = 188, kRefHoleDiameter = 190,
  kRefHoleLength = 192,
};

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

// Applies one visitor to every named field with its offset, so that reading
// and writing cannot disagree on the layout.
template <typename Block, typename Visit>
void ForEachField(Block& p, Visit&& visit) {
  visit(kNoteLength, p.NoteLength);
  visit(kChannelWord, p.ChannelWord);
  visit(kUnitWord, p.UnitWord);
  visit(kDisplayWord, p.DisplayWord);
  visit(kCurveWord, p.CurveWord);
  visit(kCurveFlags, p.CurveFlags);
  visit(kRange, p.Range);
  visit(kDelay, p.Delay);
  visit(kProbeZero, p.ProbeZero);
  visit(kVelocity, p.Velocity);
  visit(kProbeAngle, p.ProbeAngle);
  visit(kProbeFront, p.ProbeFront);
  visit(kProbeFrequency, p.ProbeFrequency);
  visit(kCrystalSize, p.CrystalSize);
  visit(kRejectLevel, p.RejectLevel);
  visit(kSurfaceCompensation, p.SurfaceCompensation);
  visit(kBaseGain, p.BaseGain);
  visit(kScanGain, p.ScanGain);
  for (std::size_t i = 0; i < p.CurveOffset.size(); ++i) visit(kCurveOffset + 2 * i, p.CurveOffset[i]);
  visit(kGateAStart, p.GateAStart);
  visit(kGateAWidth, p.GateAWidth);
  visit(kGateALevel, p.GateALevel);
  visit(kGateBStart, p.GateBStart);
  visit(kGateBWidth, p.GateBWidth);
  visit(kGateBLevel, p.GateBLevel);
  for (std::size_t i = 0; i < p.DacPointDb.size(); ++i) visit(kDacPointDb + 2 * i, p.DacPointDb[i]);
  for (std::size_t i = 0; i < p.DacPointPath.size(); ++i) visit(kDacPointPath + 2 * i, p.DacPointPath[i]);
  visit(kDacPointCount, p.DacPointCount);
  visit(kRefHoleDiameter, p.RefHoleDiameter);
  visit(kRefHoleLength, p.RefHoleLength);
}

}  // namespace

ParameterBlock ParameterBlock::FromBytes(std::span<const std::uint8_t, kParameterBlockBytes> bytes) {
  ParameterBlock p;
  std::memcpy(p.Bytes.data(), bytes.data(), bytes.size());
  std::memcpy(p.StampBcd.data(), bytes.data() + kStampBcd, p.StampBcd.size());
  ForEachField(p, [&](std::size_t at, auto& field) {
    field = Read<std::remove_reference_t<decltype(field)>>(bytes, at);
  });
  return p;
}

std::array<std::uint8_t, kParameterBlockBytes> ParameterBlock::ToBytes() const {
  auto bytes = Bytes;
  std::memcpy(bytes.data() + kStampBcd, StampBcd.data(), StampBcd.size());
  ForEachField(*this, [&](std::size_t at, const auto& field) { Write(bytes, at, field); });
  return bytes;
}

void PrintTo(const ParameterBlock& p, std::ostream* os) {
  *os << "ParameterBlock{DisplayWord=" << p.DisplayWord << " CurveWord=" << p.CurveWord
      << " CurveFlags=" << p.CurveFlags << " Range=" << p.Range << " Delay=" << p.Delay
      << " Velocity=" << p.Velocity << " BaseGain=" << p.BaseGain
      << " DacPointCount=" << p.DacPointCount << " NoteLength=" << int{p.NoteLength} << "}";
}

}  // namespace sonalyt::recording
