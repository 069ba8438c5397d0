#include "waveform/peak_engine.h"

#include <algorithm>
#include <vector>

#include "audiofile/sample_source.h"

namespace snipora {

namespace {

// Bytes per chunk: direct reads of megabytes, four at a time, are about twice
// as fast as one 512 KiB read after the other on the virtual disks we
// measured, and only milliseconds of work between two looks at the cancel
// flag. The workers hold two chunks each (ring and buffer): 16 MiB in all.
constexpr uint32_t kChunkBytes = 2u << 20;

}  // namespace

CPeakEngine::CPeakEngine(const std::string& path, const SoundFormatInfo& info)
    : codec_(CodecFor(info)) {
  for (auto& next : nextChunk_) next = 0;
  if (!codec_) return;
  const FrameShape& shape = codec_->shape;
  totalFrames_ = info.dataSize / shape.blockAlign;
  entryCount_ = (totalFrames_ + kFramesPerPeak - 1) / kFramesPerPeak;
  entriesPerChunk_ = std::max(1u, kChunkBytes / (kFramesPerPeak * shape.blockAlign));
  entries_ = std::make_unique_for_overwrite<PeakPair[]>(entryCount_ * shape.channels);
  running_ = kWorkers;
  for (uint32_t w = 0; w < kWorkers; ++w) {
    workers_[w] = std::thread(&CPeakEngine::Run, this, w, path, info);
  }
}

CPeakEngine::~CPeakEngine() {
  Cancel();
}

void CPeakEngine::Cancel() {
  cancel_.store(true, std::memory_order_relaxed);
  for (std::thread& worker : workers_) {
    if (worker.joinable()) worker.join();
  }
}

uint64_t CPeakEngine::ChunkCount() const {
  return (entryCount_ + entriesPerChunk_ - 1) / entriesPerChunk_;
}

uint64_t CPeakEngine::ReadyEntries() const {
  uint64_t chunks = ChunkCount();
  for (const auto& next : nextChunk_)
    chunks = std::min(chunks, next.load(std::memory_order_acquire));
  return std::min(chunks * entriesPerChunk_, entryCount_);
}

uint64_t CPeakEngine::ReadyFrames() const {
  return std::min(ReadyEntries() * kFramesPerPeak, totalFrames_);
}

bool CPeakEngine::Peak(uint32_t channel, uint64_t first, uint64_t last, PeakPair& out) const {
  const uint64_t from = first / kFramesPerPeak;
  const uint64_t to = std::min((last + kFramesPerPeak - 1) / kFramesPerPeak, ReadyEntries());
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

void CPeakEngine::Run(uint32_t worker, const std::string& path, const SoundFormatInfo& info) {
  // A ring of a chunk and the sectors around it.
  const std::unique_ptr<ISampleData> data = OpenSampleData(path, info, kChunkBytes + 64 * 1024);
  if (!data || !ComputeChunks(worker, *data)) {
    // The ready part ends before this worker's failed chunk; the others go on
    // with the chunks before it.
    if (!cancel_.load(std::memory_order_relaxed))
      readFailed_.store(true, std::memory_order_release);
  }
  running_.fetch_sub(1, std::memory_order_acq_rel);
}

// Chunks worker, worker + kWorkers, ...; each one's entries are published
// when the whole chunk is done. False when cancelled or the file ends early.
bool CPeakEngine::ComputeChunks(uint32_t worker, ISampleData& data) {
  const FrameShape& shape = codec_->shape;
  const uint32_t channels = shape.channels;
  const uint64_t chunkFrames = uint64_t{entriesPerChunk_} * kFramesPerPeak;
  std::vector<uint8_t> buffer(chunkFrames * shape.blockAlign);
  for (uint64_t chunk = worker; chunk * chunkFrames < totalFrames_; chunk += kWorkers) {
    if (cancel_.load(std::memory_order_relaxed)) return false;
    const uint64_t first = chunk * chunkFrames;
    const uint64_t frames = std::min(chunkFrames, totalFrames_ - first);
    const auto bytes = static_cast<uint32_t>(frames * shape.blockAlign);
    if (data.Seek(first * shape.blockAlign) != 0 || data.Read(buffer.data(), bytes) != bytes) {
      return false;
    }
    uint64_t entry = first / kFramesPerPeak;
    for (uint64_t done = 0; done < frames; done += kFramesPerPeak, ++entry) {
      const auto n = static_cast<uint32_t>(std::min<uint64_t>(kFramesPerPeak, frames - done));
      PeakPair* out = &entries_[entry * channels];
      std::fill(out, out + channels, kNoPeak);
      codec_->fold(buffer.data() + done * shape.blockAlign, n, shape, out);
    }
    nextChunk_[worker].store(chunk + kWorkers, std::memory_order_release);
  }
  // Done: never the one holding the others' progress back.
  nextChunk_[worker].store(ChunkCount(), std::memory_order_release);
  return true;
}

}  // namespace snipora
