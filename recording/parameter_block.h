// The 218-byte instrument-settings block of a record's parameter area, with
// its named fields and the bit fields packed into its words.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string_view>

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

  // Bit fields (see kBitFields).
  std::uint32_t Channel() const;
  bool InchUnits() const;
  std::uint32_t EnvelopeMode() const;
  bool GateFollowsCurve() const;
  bool FlatCurve() const;
  std::uint32_t ProbeType() const;
  std::uint32_t Rectification() const;
  // The 3-bit count as stored; the number of lines drawn is this modulo 7.
  std::uint32_t CurveLineCount() const;
  bool TwoGateReadout() const;
  std::uint32_t RangeMode() const;
  std::uint32_t AvgEvalLine() const;
  // The 4-bit value as stored; it selects a line modulo 7.
  std::uint32_t DacEvalLine() const;
  bool DacCurveOn() const;
  bool AvgCurveOn() const;
  bool NearFieldExtension() const;
  bool CurvesOn() const { return DacCurveOn() || AvgCurveOn(); }

  bool operator==(const ParameterBlock&) const = default;
};

// Every named field of the block with its byte offset, in block order:
// calls visit(name, offset, field) with field a scalar or a std::array (of
// p's constness). The one list that reading, writing, printing and the
// command-line tool's JSON follow.
template <typename Block, typename Visit>
void ForEachNamedField(Block& p, Visit&& visit) {
  visit("StampBcd", 0, p.StampBcd);
  visit("NoteLength", 3, p.NoteLength);
  visit("ChannelWord", 16, p.ChannelWord);
  visit("UnitWord", 20, p.UnitWord);
  visit("DisplayWord", 24, p.DisplayWord);
  visit("CurveWord", 48, p.CurveWord);
  visit("CurveFlags", 52, p.CurveFlags);
  visit("Range", 56, p.Range);
  visit("Delay", 68, p.Delay);
  visit("ProbeZero", 92, p.ProbeZero);
  visit("Velocity", 94, p.Velocity);
  visit("ProbeAngle", 96, p.ProbeAngle);
  visit("ProbeFront", 98, p.ProbeFront);
  visit("ProbeFrequency", 100, p.ProbeFrequency);
  visit("CrystalSize", 102, p.CrystalSize);
  visit("RejectLevel", 104, p.RejectLevel);
  visit("SurfaceCompensation", 106, p.SurfaceCompensation);
  visit("BaseGain", 108, p.BaseGain);
  visit("ScanGain", 112, p.ScanGain);
  visit("CurveOffset", 114, p.CurveOffset);
  visit("GateAStart", 132, p.GateAStart);
  visit("GateAWidth", 134, p.GateAWidth);
  visit("GateALevel", 136, p.GateALevel);
  visit("GateBStart", 140, p.GateBStart);
  visit("GateBWidth", 142, p.GateBWidth);
  visit("GateBLevel", 144, p.GateBLevel);
  visit("DacPointDb", 148, p.DacPointDb);
  visit("DacPointPath", 168, p.DacPointPath);
  visit("DacPointCount", 188, p.DacPointCount);
  visit("RefHoleDiameter", 190, p.RefHoleDiameter);
  visit("RefHoleLength", 192, p.RefHoleLength);
}

// A bit field packed into one of the block's 32-bit words.
struct BitField {
  std::string_view Name;
  std::uint32_t ParameterBlock::*Word;
  std::uint32_t Shift;
  std::uint32_t Mask;  // of the value, before the shift
  bool Flag;           // a yes/no field (one bit)

  std::uint32_t Get(const ParameterBlock& p) const { return (p.*Word >> Shift) & Mask; }
  void Set(ParameterBlock& p, std::uint32_t value) const {
    p.*Word = (p.*Word & ~(Mask << Shift)) | ((value & Mask) << Shift);
  }
};

// Every bit field, in the order the command-line tool prints them.
inline constexpr BitField kBitFields[] = {
    {"Channel", &ParameterBlock::ChannelWord, 12, 0xF, false},
    {"InchUnits", &ParameterBlock::UnitWord, 6, 1, true},
    {"EnvelopeMode", &ParameterBlock::DisplayWord, 0, 0x3, false},
    {"GateFollowsCurve", &ParameterBlock::DisplayWord, 3, 1, true},
    {"FlatCurve", &ParameterBlock::DisplayWord, 4, 1, true},
    {"ProbeType", &ParameterBlock::DisplayWord, 12, 0x3, false},
    {"Rectification", &ParameterBlock::DisplayWord, 28, 0x3, false},
    {"CurveLineCount", &ParameterBlock::CurveWord, 0, 0x7, false},
    {"TwoGateReadout", &ParameterBlock::CurveWord, 4, 1, true},
    {"RangeMode", &ParameterBlock::CurveWord, 24, 0x3, false},
    {"AvgEvalLine", &ParameterBlock::CurveWord, 26, 0x3, false},
    {"DacEvalLine", &ParameterBlock::CurveWord, 28, 0xF, false},
    {"DacCurveOn", &ParameterBlock::CurveFlags, 2, 1, true},
    {"AvgCurveOn", &ParameterBlock::CurveFlags, 3, 1, true},
    {"NearFieldExtension", &ParameterBlock::CurveFlags, 4, 1, true},
};

// The bit field called name; nullptr when there is none.
const BitField* FindBitField(std::string_view name);
// Sets the bit field called name (tests build blocks this way); the name
// must be one of kBitFields.
void SetBitField(ParameterBlock& p, std::string_view name, std::uint32_t value);

inline std::uint32_t ParameterBlock::Channel() const { return kBitFields[0].Get(*this); }
inline bool ParameterBlock::InchUnits() const { return kBitFields[1].Get(*this) != 0; }
inline std::uint32_t ParameterBlock::EnvelopeMode() const { return kBitFields[2].Get(*this); }
inline bool ParameterBlock::GateFollowsCurve() const { return kBitFields[3].Get(*this) != 0; }
inline bool ParameterBlock::FlatCurve() const { return kBitFields[4].Get(*this) != 0; }
inline std::uint32_t ParameterBlock::ProbeType() const { return kBitFields[5].Get(*this); }
inline std::uint32_t ParameterBlock::Rectification() const { return kBitFields[6].Get(*this); }
inline std::uint32_t ParameterBlock::CurveLineCount() const { return kBitFields[7].Get(*this); }
inline bool ParameterBlock::TwoGateReadout() const { return kBitFields[8].Get(*this) != 0; }
inline std::uint32_t ParameterBlock::RangeMode() const { return kBitFields[9].Get(*this); }
inline std::uint32_t ParameterBlock::AvgEvalLine() const { return kBitFields[10].Get(*this); }
inline std::uint32_t ParameterBlock::DacEvalLine() const { return kBitFields[11].Get(*this); }
inline bool ParameterBlock::DacCurveOn() const { return kBitFields[12].Get(*this) != 0; }
inline bool ParameterBlock::AvgCurveOn() const { return kBitFields[13].Get(*this) != 0; }
inline bool ParameterBlock::NearFieldExtension() const { return kBitFields[14].Get(*this) != 0; }

// Every field == compares: the named fields, the bit fields and the bytes.
void PrintTo(const ParameterBlock& block, std::ostream* os);

}  // namespace sonalyt::recording
