// The record decoder on arbitrary bytes, two ways:
//  - the input as a record body, decoded into destinations of the record
//    buffer's size and smaller: the output never exceeds the destination, a
//    smaller destination gets a prefix of the same output, and decoding is
//    the same from one call to the next; the tail decode, cutting its codes
//    16 at a time and one by one, gives the same length and the same bytes
//    in its window;
//  - the input as a decoded record: encoded by the test encoder (longest
//    match and single-byte codes), decoded back and compared.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>
#include <span>
#include <vector>

#include "recording/record_codec.h"
#include "recording/record_format.h"
#include "tools/record_encoder.h"

namespace {

using sonalyt::recording::kRecordBufferBytes;
using sonalyt::recording::RecordCodec;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "fuzz_record_codec: %s\n", what);
  std::abort();
}

// One codec for the whole run, as in the program: every decode must start
// from the reset state whatever the previous body left behind.
RecordCodec& Codec() {
  static RecordCodec* codec = new RecordCodec();
  return *codec;
}
// The tail decode cutting its codes one by one, where Codec() cuts them 16
// at a time.
RecordCodec& OneByOneCodec() {
  static RecordCodec* codec = new RecordCodec(RecordCodec::CodeCutting::OneByOne);
  return *codec;
}

// Decodes body into a destination of exactly `capacity` bytes (so that any
// write past it is caught), pre-filled with `fill`.
std::vector<std::uint8_t> Decode(std::span<const std::uint8_t> body, std::size_t capacity,
                                 std::uint8_t fill) {
  std::vector<std::uint8_t> destination(capacity, fill);
  const std::int32_t produced = Codec().DecodeRecordBody(body, destination);
  if (produced < 0 || static_cast<std::size_t>(produced) > capacity) {
    Fail("decoded length outside the destination");
  }
  // Bytes beyond the decoded length are left as they were.
  for (std::size_t i = static_cast<std::size_t>(produced); i < capacity; ++i) {
    if (destination[i] != fill) Fail("byte beyond the decoded length was written");
  }
  destination.resize(static_cast<std::size_t>(produced));
  return destination;
}

// The tail decode against the full one, for windows a scan asks for (the
// parameter area and its note) and for windows partly or wholly outside.
void DecodeTail(std::span<const std::uint8_t> body, const std::vector<std::uint8_t>& full) {
  const auto length = static_cast<std::int32_t>(full.size());
  const std::int32_t seed = body.empty() ? 0 : body.back();
  const std::pair<std::int32_t, std::int32_t> windows[] = {
      {length, length}, {std::min(length, 418), 418}, {218 + seed, 218 + 2 * seed + 4},
      {1, 1}, {0, 5}, {-3, 10}, {length + 7, 20}, {length / 2, -1},
      {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()},
      {std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max()}};
  std::vector<std::uint8_t> destination(kRecordBufferBytes);
  for (const auto& [tailBytes, windowBytes] : windows) {
    for (RecordCodec* codec : {&Codec(), &OneByOneCodec()}) {
      std::fill(destination.begin(), destination.end(), 0xA5);
      const std::int32_t produced =
          codec->DecodeRecordTail(body, tailBytes, windowBytes, destination);
      if (produced != length) Fail("tail decode length differs from the full decode");
      const std::int64_t start = std::max<std::int64_t>(0, std::int64_t{length} - tailBytes);
      const std::int64_t end = std::min<std::int64_t>(
          length, std::int64_t{length} - tailBytes + std::max<std::int32_t>(0, windowBytes));
      for (std::int64_t i = start; i < end; ++i) {
        if (destination[static_cast<std::size_t>(i)] != full[static_cast<std::size_t>(i)]) {
          Fail("tail decode differs from the full decode in its window");
        }
      }
    }
  }
}

void DecodeAsBody(std::span<const std::uint8_t> body) {
  const std::vector<std::uint8_t> full = Decode(body, kRecordBufferBytes, 0xA5);
  if (Decode(body, kRecordBufferBytes, 0x5A) != full) Fail("decode differs between two calls");
  if (body.empty() && !full.empty()) Fail("an empty body produced bytes");
  DecodeTail(body, full);
  if (!full.empty()) {
    // A destination one byte short, and a much smaller one, hold a prefix.
    for (std::size_t capacity : {full.size() - 1, full.size() / 3}) {
      const std::vector<std::uint8_t> cut = Decode(body, capacity, 0xA5);
      if (!std::equal(cut.begin(), cut.end(), full.begin())) {
        Fail("a smaller destination does not receive a prefix of the output");
      }
    }
  }
}

void RoundTrip(std::span<const std::uint8_t> plain, sonalyt::tools::EncodeMode mode) {
  const std::vector<std::uint8_t> body = sonalyt::tools::EncodeRecordBody(plain, mode);
  // Room for one byte more than the input, so an over-long decode shows.
  const std::vector<std::uint8_t> decoded = Decode(body, plain.size() + 1, 0xA5);
  if (!std::equal(decoded.begin(), decoded.end(), plain.begin(), plain.end())) {
    Fail("encoded input does not decode back to itself");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> input(data, size);
  DecodeAsBody(input);
  // Records never decode to more than the record buffer; longer inputs
  // would only spend time in the encoder.
  if (size <= static_cast<std::size_t>(kRecordBufferBytes)) {
    RoundTrip(input, sonalyt::tools::EncodeMode::LongestMatch);
    RoundTrip(input, sonalyt::tools::EncodeMode::SingleByteCodes);
  }
  return 0;
}
