#include "waveform/peak_engine.h"

#include <algorithm>
#include <vector>

#include "audiofile/sector_file.h"

namespace snipora {

namespace {

// Bytes read per request: large sequential reads, and a few milliseconds of
// work between two looks at the cancel flag.
constexpr uint32_t kReadBytes = 1u << 20;
constexpr uint32_t kRingBytes = kReadBytes + 64 * 1024;

}  // namespace

CPeakEngine::CPeakEngine(const std::string& path, const SoundFormatInfo& info)
    : codec_(CodecFor(info)) {
  if (!codec_) {
    finished_ = true;
    return;
  }
  totalFrames_ = info.dataSize / codec_->shape.blockAlign;
  entryCount_ = (totalFrames_ + kFramesPerPeak - 1) / kFramesPerPeak;
  entries_ = std::make_unique_for_overwrite<PeakPair[]>(entryCount_ * codec_->shape.channels);
  worker_ = std::thread(&CPeakEngine::Run, this, path, static_cast<uint32_t>(info.dataOffset));
}

CPeakEngine::~CPeakEngine() {
  Cancel();
}

void CPeakEngine::Cancel() {
  cancel_.store(true, std::memory_order_relaxed);
  if (worker_.joinable()) worker_.join();
}

uint64_t CPeakEngine::ReadyFrames() const {
  const uint64_t ready = readyEntries_.load(std::memory_order_acquire);
  return std::min(ready * kFramesPerPeak, totalFrames_);
}

bool CPeakEngine::Peak(uint32_t channel, uint64_t first, uint64_t last, PeakPair& out) const {
  const uint64_t ready = readyEntries_.load(std::memory_order_acquire);
  const uint64_t from = first / kFramesPerPeak;
  const uint64_t to = std::min((last + kFramesPerPeak - 1) / kFramesPerPeak, ready);
  if (channel >= Channels() || from >= to) return false;
  const uint32_t channels = Channels();
  PeakPair peak = kNoPeak;
  for (uint64_t e = from; e < to; ++e) {
    const PeakPair& entry = entries_[e * channels + channel];
    peak.min = std::min(peak.min, entry.min);
    peak.max = std::max(peak.max, entry.max);
  }
  out = peak;
  return true;
}

void CPeakEngine::Run(std::string path, uint32_t dataOffset) {
  CSectorFile file(kRingBytes);
  const bool opened = file.Open(path.c_str(), "rb", 32) == 0 && file.SeekLarge(dataOffset) == 0;
  if (!opened || !ComputeFrom(file)) {
    readFailed_.store(!cancel_.load(std::memory_order_relaxed), std::memory_order_release);
  }
  file.Close();
  finished_.store(true, std::memory_order_release);
}

// Reads whole summary entries per request and publishes each request's
// entries at once. False when cancelled or the file ends early.
bool CPeakEngine::ComputeFrom(CSectorFile& file) {
  const FrameShape& shape = codec_->shape;
  const uint32_t channels = shape.channels;
  const uint32_t entryBytes = kFramesPerPeak * shape.blockAlign;
  const uint32_t entriesPerRead = std::max(1u, kReadBytes / entryBytes);
  std::vector<uint8_t> buffer(size_t{entriesPerRead} * entryBytes);
  uint64_t frame = 0;
  uint64_t entry = 0;
  while (entry < entryCount_) {
    if (cancel_.load(std::memory_order_relaxed)) return false;
    const uint64_t frames =
        std::min<uint64_t>(uint64_t{entriesPerRead} * kFramesPerPeak, totalFrames_ - frame);
    const uint32_t bytes = static_cast<uint32_t>(frames * shape.blockAlign);
    if (file.ReadBlock(buffer.data(), bytes) != bytes) return false;
    for (uint64_t done = 0; done < frames; done += kFramesPerPeak, ++entry) {
      const uint32_t n = static_cast<uint32_t>(std::min<uint64_t>(kFramesPerPeak, frames - done));
      PeakPair* out = &entries_[entry * channels];
      std::fill(out, out + channels, kNoPeak);
      codec_->fold(buffer.data() + done * shape.blockAlign, n, shape, out);
    }
    frame += frames;
    readyEntries_.store(entry, std::memory_order_release);
  }
  return true;
}

}  // namespace snipora
