#include "sound/wave_player.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/text_encoding.h"

#include "sound/block_fill.h"
#include "sound/condense.h"
#include "sound/file_pieces.h"
#include "sound/riff_walker.h"

namespace placarim::sound {
namespace {

using platform::AudioDevice;
using platform::AudioFormat;

constexpr int kOpenAttempts = 100;
constexpr uint16_t kBusyRetryMs = 100;
constexpr uint16_t kRoomPollMs = 10;
constexpr int kQueueWaitRounds = 40;
constexpr uint16_t kQueueWaitMs = 50;

}  // namespace

WavePlayer::WavePlayer(MainLoop& host, platform::AudioDevice& device)
    : host_(host), device_(device), file_buffer_(kBlockSize) {
  for (auto& block : blocks_) block.assign(kBlockSize, 0);
}

WavePlayer::~WavePlayer() {
  WaveStop();
  host_.SetAudioBlockDoneHandler({});
}

int WavePlayer::BlocksInFlight() const {
  return static_cast<int>(std::count(in_flight_.begin(), in_flight_.end(), true));
}

bool WavePlayer::StopRequested() { return stop_on_key_ && host_.KeyPressed(); }

int WavePlayer::WavePlayFile(const std::string& path) {
  if (StopRequested()) return 0;
  FileSource file;
  if (!file.Open(path)) return -1;
  int result = -1;
  const WaveHeader header = ReadWaveHeader(file);
  if (header.ok()) {
    const AudioFormat format = header.format;
    result = StreamFilePieces(
        file, header.data_length, file_buffer_,
        [&](std::span<const uint8_t> piece) {
          return WavePlayData(piece, format.rate, format.channels, format.bits);
        },
        [&] { return StopRequested(); });
  }
  file.Close();
  while (WaveIsPlaying()) host_.WaitMessage();
  return result;
}

int WavePlayer::WavePlayMemory(std::span<const uint8_t> image) {
  const auto found = FindImageSamples(image);
  if (!found) return -1;
  return WavePlayData(found->samples, found->format.rate, found->format.channels,
                      found->format.bits);
}

int WavePlayer::WavePlayData(std::span<const uint8_t> samples, uint32_t rate, uint16_t channels,
                             uint16_t bits) {
  if (!IsPlayableFormat({rate, bits, channels})) return AudioDevice::kBadFormat;
  const bool condense = condense_ && channels == 1;
  AudioFormat device_format;
  device_format.rate = speed_up_ ? static_cast<uint32_t>(SpeedUpRate(rate)) : rate;
  device_format.bits = condense && bits == 16 ? 8 : bits;
  device_format.channels = channels;
  if (const int opened = OpenDevice(device_format); opened != 0) return opened;

  size_t position = 0;
  while (position < samples.size()) {
    while (BlocksInFlight() == kBlockCount) {
      if (StopRequested()) {
        WaveStop();
        return 0;
      }
      host_.Delay(kRoomPollMs);
    }
    if (StopRequested()) {
      WaveStop();
      return 0;
    }
    const size_t piece = std::min(samples.size() - position, kBlockSize);
    QueueBlock(samples.subspan(position, piece), condense, bits, device_format);
    position += piece;
  }
  return 0;
}

int WavePlayer::OpenDevice(const AudioFormat& format) {
  // A new format needs a new device: the queued sound drains first (or a key
  // cuts it), and WaveIsPlaying closes the device once it is empty.
  if (current_format_ != format) {
    while (WaveIsPlaying()) host_.WaitMessage();
  }
  current_format_ = format;
  if (device_.IsOpen()) return AudioDevice::kNoError;
  host_.SetAudioBlockDoneHandler([this](int block) { WaveBlockDone(block); });
  int result = device_.Open(format);
  for (int attempt = 1; result == AudioDevice::kBusy && attempt < kOpenAttempts; ++attempt) {
    host_.Delay(kBusyRetryMs);
    result = device_.Open(format);
  }
  if (result == AudioDevice::kNoDriver) ReportNoDevice();
  return result;
}

// A blind child hears nothing and sees nothing wrong: the teacher must be told,
// once, on the screen and where the program was started from.
void WavePlayer::ReportNoDevice() {
  if (no_device_reported_) return;
  no_device_reported_ = true;
  host_.ShowNotice(kNoDeviceText);
  std::fprintf(stderr, "placarim: %s\n", platform::Cp1252ToUtf8(kNoDeviceText).c_str());
}

std::optional<int> WavePlayer::FreeBlock() const {
  for (int i = 0; i < kBlockCount; ++i) {
    const int candidate = (next_block_ + i) % kBlockCount;
    if (!in_flight_[candidate]) return candidate;
  }
  return std::nullopt;
}

bool WavePlayer::QueueBlock(std::span<const uint8_t> piece, bool condense, uint16_t source_bits,
                            const AudioFormat& device_format) {
  for (int round = 0; BlocksInFlight() == kBlockCount && round < kQueueWaitRounds; ++round) {
    host_.PumpAllMessages();
    host_.Delay(kQueueWaitMs);
  }
  const auto free_block = FreeBlock();
  if (!free_block) return false;  // the device has not moved for two seconds
  const int index = *free_block;
  next_block_ = (index + 1) % kBlockCount;

  std::vector<uint8_t>& block = blocks_[index];
  std::memcpy(block.data(), piece.data(), piece.size());
  size_t count = piece.size();
  if (condense) count = CondenseMono({block.data(), count}, source_bits, device_format.rate);
  const size_t length = FinishBlock(block, count, device_format);

  in_flight_[index] = true;
  if (device_.Write(index + 1, block.data(), length) != AudioDevice::kNoError) {
    in_flight_[index] = false;  // never queued, so no completion will come
    return false;
  }
  return true;
}

bool WavePlayer::WaveIsPlaying() {
  host_.PumpAllMessages();
  if (StopRequested() || BlocksInFlight() == 0) WaveStop();
  return BlocksInFlight() > 0;
}

void WavePlayer::WaveStop() {
  if (!device_.IsOpen()) return;
  if (BlocksInFlight() > 0) device_.Reset();
  host_.PumpAllMessages();
  device_.Close();
  host_.PumpAllMessages();
  // A closed device holds no block, whether or not its reports came through.
  in_flight_.fill(false);
}

void WavePlayer::WaveBlockDone(int block) {
  if (block < 1 || block > kBlockCount) return;
  const int index = block - 1;
  // A report for a block that is not queued (a late one after WaveStop) has
  // nothing to release.
  if (!in_flight_[index]) return;
  const int error = device_.Unprepare(block);
  // Released before the report, which waits for the user while messages go on.
  in_flight_[index] = false;
  if (error != AudioDevice::kNoError) ReportUnprepareError(error);
}

void WavePlayer::ReportUnprepareError(int code) {
  host_.ReportAudioError(UnprepareErrorText(code));
}

}  // namespace placarim::sound
