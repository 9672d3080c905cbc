// Where a recording's bytes come from: a file, or bytes already in memory.
// RecordingFile reads only through this interface, so tests, fuzzers and
// benchmarks can open recordings that never touch the disk.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#ifdef _WIN32
#include <mutex>
#endif
#include <span>
#include <string>
#include <vector>

namespace sonalyt::recording {

class ByteSource {
 public:
  virtual ~ByteSource() = default;

  // Copies up to out.size() bytes starting at offset into out; returns how
  // many arrived (fewer at the end of the source or on a read error, 0 for
  // an offset at or past the end or a negative one).
  virtual std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> out) = 0;

  // Like ReadAt, but may be called from several threads at once, and does
  // not disturb where ReadAt stands.
  virtual std::size_t ReadAtConcurrently(std::int64_t offset, std::span<std::uint8_t> out) = 0;

  // The number of bytes in the source, or -1 when it cannot be told.
  virtual std::int64_t Size() const = 0;

  // All bytes of the source when they lie in memory for as long as the
  // source lives (then the scan reads them in place, and bytes it only
  // passes over are never copied); empty otherwise.
  virtual std::span<const std::uint8_t> Contiguous() const { return {}; }
};

// A file opened read-only, read through a stdio buffer.
class FileByteSource final : public ByteSource {
 public:
  // Opens path; nullptr with a reason in *error when it cannot be opened.
  static std::unique_ptr<FileByteSource> Open(const std::string& path, std::string* error);
  ~FileByteSource() override;
  FileByteSource(const FileByteSource&) = delete;
  FileByteSource& operator=(const FileByteSource&) = delete;

  std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> out) override;
  std::size_t ReadAtConcurrently(std::int64_t offset, std::span<std::uint8_t> out) override;
  std::int64_t Size() const override { return size_; }

 private:
  explicit FileByteSource(std::FILE* file);

  std::FILE* file_;
  std::int64_t position_ = 0;  // where the stdio stream stands, to spare needless seeks
  std::int64_t size_ = -1;
  std::unique_ptr<char[]> buffer_;
#ifdef _WIN32
  std::mutex concurrentReads_;  // positional reads share the stream there
#endif
};

// Bytes held in memory.
class MemoryByteSource final : public ByteSource {
 public:
  explicit MemoryByteSource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}

  std::size_t ReadAt(std::int64_t offset, std::span<std::uint8_t> out) override;
  std::size_t ReadAtConcurrently(std::int64_t offset, std::span<std::uint8_t> out) override {
    return ReadAt(offset, out);
  }
  std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
  std::span<const std::uint8_t> Contiguous() const override { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
};

}  // namespace sonalyt::recording
