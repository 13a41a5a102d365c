#include "platform/wave_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace placarim::platform {

size_t ReadFully(WaveSource& source, uint8_t* dest, size_t size) {
  size_t total = 0;
  while (total < size) {
    const size_t got = source.Read(dest + total, size - total);
    if (got == 0) break;
    total += got;
  }
  return total;
}

size_t MemorySource::Read(uint8_t* dest, size_t size) {
  const size_t count = std::min(size, Remaining());
  if (count > 0) std::memcpy(dest, bytes_.data() + position_, count);
  position_ += count;
  return count;
}

bool MemorySource::Skip(uint64_t count) {
  if (count > Remaining()) {
    position_ = bytes_.size();
    return false;
  }
  position_ += static_cast<size_t>(count);
  return true;
}

bool MemorySource::Peek(uint8_t& byte) {
  if (Remaining() == 0) return false;
  byte = bytes_[position_];
  return true;
}

FileSource::~FileSource() { Close(); }

bool FileSource::Open(const std::string& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  size_ = static_cast<uint64_t>(info.st_size);
  position_ = 0;
  return true;
}

void FileSource::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  size_ = 0;
  position_ = 0;
}

size_t FileSource::Read(uint8_t* dest, size_t size) {
  if (fd_ < 0 || size == 0) return 0;
  for (;;) {
    const ssize_t got = ::read(fd_, dest, size);
    if (got >= 0) {
      position_ += static_cast<uint64_t>(got);
      return static_cast<size_t>(got);
    }
    if (errno != EINTR) return 0;
  }
}

bool FileSource::Skip(uint64_t count) {
  if (fd_ < 0) return false;
  // The size taken at Open decides; a skip past it is a chunk that cannot be
  // read to its end, however the 32-bit length was meant.
  const bool fits = position_ <= size_ && count <= size_ - position_;
  position_ = fits ? position_ + count : size_;
  ::lseek(fd_, static_cast<off_t>(position_), SEEK_SET);
  return fits;
}

bool FileSource::Peek(uint8_t& byte) {
  if (Read(&byte, 1) != 1) return false;
  --position_;
  ::lseek(fd_, static_cast<off_t>(position_), SEEK_SET);
  return true;
}

}  // namespace placarim::platform
