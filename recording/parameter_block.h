// The 218-byte instrument-settings block of a record's parameter area, with
// its named fields and the bit fields packed into its words.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>

#include "recording/record_format.h"

namespace sonalyt::recording {

// Field values as stored (little-endian in the record). Units in the comments
// are those of millimetre display; lengths count 0.001 in with InchUnits.
struct ParameterBlock {
  std::array<std::uint8_t, 3> StampBcd{};  // packed BCD, not interpreted
  std::uint8_t NoteLength = 0;             // text units of the note; 0 = none
  std::uint32_t ChannelWord = 0;
  std::uint32_t UnitWord = 0;
  std::uint32_t DisplayWord = 0;
  std::uint32_t CurveWord = 0;
  std::uint32_t CurveFlags = 0;
  std::uint32_t Range = 0;               // 0.1 mm
  std::uint32_t Delay = 0;               // 10 ns
  std::uint16_t ProbeZero = 0;           // 1/160 us
  std::uint16_t Velocity = 0;            // m/s
  std::uint16_t ProbeAngle = 0;          // 0.1 degree
  std::uint16_t ProbeFront = 0;          // 0.1 mm
  std::uint16_t ProbeFrequency = 0;      // 0.01 MHz
  std::uint16_t CrystalSize = 0;         // high byte x low byte, mm
  std::uint16_t RejectLevel = 0;         // 0.5 %
  std::uint16_t SurfaceCompensation = 0; // 0.1 dB
  std::uint16_t BaseGain = 0;            // 0.1 dB
  std::int16_t ScanGain = 0;             // 0.1 dB
  std::array<std::int16_t, 7> CurveOffset{};  // 0.1 dB; [6] is the gate curve
  std::uint16_t GateAStart = 0;          // screen column
  std::uint16_t GateAWidth = 0;          // screen columns
  std::uint16_t GateALevel = 0;          // 1/200 of picture height
  std::uint16_t GateBStart = 0;
  std::uint16_t GateBWidth = 0;
  std::uint16_t GateBLevel = 0;
  std::array<std::uint16_t, 10> DacPointDb{};    // 0.1 dB
  std::array<std::uint16_t, 10> DacPointPath{};  // 0.1 mm
  std::int16_t DacPointCount = 0;        // valid 1 to 10
  std::uint16_t RefHoleDiameter = 0;     // 0.1 mm
  std::uint16_t RefHoleLength = 0;       // 0.1 mm

  // Every byte of the block as applied, reserved bytes included, so that a
  // block written back by ToBytes is the block that was read.
  std::array<std::uint8_t, kParameterBlockBytes> Bytes{};

  static ParameterBlock FromBytes(std::span<const std::uint8_t, kParameterBlockBytes> bytes);
  // The stored bytes with every named field written over them.
  std::array<std::uint8_t, kParameterBlockBytes> ToBytes() const;

  // Bit fields.
  std::uint32_t Channel() const { return (ChannelWord >> 12) & 0xF; }
  bool InchUnits() const { return (UnitWord >> 6) & 1; }
  std::uint32_t EnvelopeMode() const { return DisplayWord & 0x3; }
  bool GateFollowsCurve() const { return (DisplayWord >> 3) & 1; }
  bool FlatCurve() const { return (DisplayWord >> 4) & 1; }
  std::uint32_t ProbeType() const { return (DisplayWord >> 12) & 0x3; }
  std::uint32_t Rectification() const { return (DisplayWord >> 28) & 0x3; }
  // The 3-bit count as stored; the number of lines drawn is this modulo 7.
  std::uint32_t CurveLineCount() const { return CurveWord & 0x7; }
  bool TwoGateReadout() const { return (CurveWord >> 4) & 1; }
  std::uint32_t RangeMode() const { return (CurveWord >> 24) & 0x3; }
  std::uint32_t AvgEvalLine() const { return (CurveWord >> 26) & 0x3; }
  // The 4-bit value as stored; it selects a line modulo 7.
  std::uint32_t DacEvalLine() const { return (CurveWord >> 28) & 0xF; }
  bool DacCurveOn() const { return (CurveFlags >> 2) & 1; }
  bool AvgCurveOn() const { return (CurveFlags >> 3) & 1; }
  bool NearFieldExtension() const { return (CurveFlags >> 4) & 1; }
  bool CurvesOn() const { return DacCurveOn() || AvgCurveOn(); }

  bool operator==(const ParameterBlock&) const = default;
};

void PrintTo(const ParameterBlock& block, std::ostream* os);

}  // namespace sonalyt::recording
