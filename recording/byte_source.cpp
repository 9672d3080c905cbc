#include "recording/byte_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace sonalyt::recording {
namespace {

// stdio buffer of an open file: loads seek and read one record at a time.
constexpr std::size_t kFileBufferBytes = std::size_t{64} << 10;

}  // namespace

std::unique_ptr<FileByteSource> FileByteSource::Open(const std::string& path,
                                                     std::string* error) {
  // A folder opens for reading on some systems but holds no bytes.
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    if (error) *error = "cannot open " + path + ": " + std::strerror(EISDIR);
    return nullptr;
  }
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    if (error) *error = "cannot open " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<FileByteSource>(new FileByteSource(file));
}

FileByteSource::FileByteSource(std::FILE* file)
    : file_(file), buffer_(std::make_unique<char[]>(kFileBufferBytes)) {
  std::setvbuf(file_, buffer_.get(), _IOFBF, kFileBufferBytes);
  if (std::fseek(file_, 0, SEEK_END) == 0) size_ = std::ftell(file_);
  position_ = -1;  // unknown until the first read seeks
}

FileByteSource::~FileByteSource() {
  // The stream uses buffer_, so it is closed before the buffer goes.
  std::fclose(file_);
}

std::size_t FileByteSource::ReadAt(std::int64_t offset, std::span<std::uint8_t> out) {
  if (offset < 0 || out.empty()) return 0;
  if (offset != position_) {
    if (std::fseek(file_, static_cast<long>(offset), SEEK_SET) != 0) {
      position_ = -1;
      return 0;
    }
    position_ = offset;
  }
  const std::size_t got = std::fread(out.data(), 1, out.size(), file_);
  position_ += static_cast<std::int64_t>(got);
  if (got < out.size()) {
    // A short read leaves the stream at end-of-file or in error; the next
    // read seeks afresh.
    std::clearerr(file_);
    position_ = -1;
  }
  return got;
}

std::size_t FileByteSource::ReadAtConcurrently(std::int64_t offset,
                                               std::span<std::uint8_t> out) {
  if (offset < 0 || out.empty()) return 0;
#ifdef _WIN32
  const std::lock_guard lock(concurrentReads_);
  return ReadAt(offset, out);
#else
  // Positional reads of the file itself leave the stream where it stands.
  const int descriptor = fileno(file_);
  std::size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = pread(descriptor, out.data() + got, out.size() - got,
                            static_cast<off_t>(offset + static_cast<std::int64_t>(got)));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  return got;
#endif
}

std::size_t MemoryByteSource::ReadAt(std::int64_t offset, std::span<std::uint8_t> out) {
  if (offset < 0 || offset >= static_cast<std::int64_t>(bytes_.size())) return 0;
  const auto start = static_cast<std::size_t>(offset);
  const std::size_t got = std::min(out.size(), bytes_.size() - start);
  std::memcpy(out.data(), bytes_.data() + start, got);
  return got;
}

}  // namespace sonalyt::recording
