// Byte sources the RIFF/WAVE walker reads from: a file on disk, or an image
// held in memory. Both only move forward, so a walker over them always ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace placarim::platform {

class WaveSource {
 public:
  virtual ~WaveSource() = default;
  // Reads up to `size` bytes; returns how many arrived (0 at the end or on error).
  virtual size_t Read(uint8_t* dest, size_t size) = 0;
  // Moves `count` bytes forward. False, and the source is at its end, when
  // fewer than `count` bytes remain.
  virtual bool Skip(uint64_t count) = 0;
  // The next byte without consuming it; false at the end.
  virtual bool Peek(uint8_t& byte) = 0;
};

// Reads until `size` bytes arrived or the source ends; returns the count.
size_t ReadFully(WaveSource& source, uint8_t* dest, size_t size);

class MemorySource final : public WaveSource {
 public:
  explicit MemorySource(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  size_t Read(uint8_t* dest, size_t size) override;
  bool Skip(uint64_t count) override;
  bool Peek(uint8_t& byte) override;
  size_t Position() const { return position_; }
  size_t Remaining() const { return bytes_.size() - position_; }

 private:
  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
};

// A regular file opened for reading. Directories, pipes and devices are
// refused at Open: a pipe could block the program forever, /dev/zero never ends.
class FileSource final : public WaveSource {
 public:
  FileSource() = default;
  ~FileSource() override;
  FileSource(const FileSource&) = delete;
  FileSource& operator=(const FileSource&) = delete;

  bool Open(const std::string& path);
  void Close();
  size_t Read(uint8_t* dest, size_t size) override;
  bool Skip(uint64_t count) override;
  bool Peek(uint8_t& byte) override;

 private:
  int fd_ = -1;
  uint64_t size_ = 0;
  uint64_t position_ = 0;
};

}  // namespace placarim::platform
