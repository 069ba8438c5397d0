#include "audiofile/sample_source.h"

#include <algorithm>
#include <cstring>

#include "audiofile/extent_reader.h"
#include "audiofile/flac_file.h"
#include "audiofile/sector_file.h"

namespace snipora {

namespace {

// Plain data: the unbuffered file at the data's offset.
class CPlainSampleData : public ISampleData {
 public:
  CPlainSampleData(uint32_t ringBytes, uint64_t dataOffset)
      : file_(ringBytes), dataOffset_(dataOffset) {}

  bool Open(const std::string& path, bool readAhead) {
    return file_.Open(path.c_str(), "rb", 32) == 0 && (readAhead || file_.SetReadAhead(0, 0) == 0);
  }
  int Seek(uint64_t position) override { return file_.SeekLarge(dataOffset_ + position); }
  uint32_t Read(void* dst, uint32_t n) override { return file_.ReadBlock(dst, n); }

 private:
  CSectorFile file_;
  uint64_t dataOffset_;
};

// Runs of stretches of any ISampleData, read block by block as they are taken.
class CSampleDataRuns : public ISampleRuns {
 public:
  CSampleDataRuns(std::unique_ptr<ISampleData> data, std::vector<FileExtent> extents,
                  uint32_t blockBytes)
      : data_(std::move(data)), extents_(std::move(extents)), block_(blockBytes) {}

  int Next(uint32_t maxLength, uint8_t** data, uint32_t* length) override {
    if (used_ == filled_ && !Fill()) return kFileShortRead;
    *data = block_.data() + used_;
    *length = std::min(maxLength, filled_ - used_);
    offered_ = *length;
    return kFileOk;
  }

  void Consume(uint32_t n) override {
    used_ += std::min(n, offered_);
    offered_ = 0;
  }

 private:
  // Reads the next block of the stretches; false when none is left or the
  // data fell short.
  bool Fill() {
    while (extent_ < extents_.size() && done_ == extents_[extent_].length) {
      ++extent_;
      done_ = 0;
    }
    if (extent_ == extents_.size()) return false;
    const FileExtent& extent = extents_[extent_];
    if (done_ == 0 && data_->Seek(extent.position) != 0) return false;
    const auto n = static_cast<uint32_t>(std::min<uint64_t>(block_.size(), extent.length - done_));
    if (data_->Read(block_.data(), n) != n) return false;
    done_ += n;
    filled_ = n;
    used_ = 0;
    return true;
  }

  std::unique_ptr<ISampleData> data_;
  std::vector<FileExtent> extents_;  // positions in the sample data
  std::vector<uint8_t> block_;
  size_t extent_ = 0;
  uint64_t done_ = 0;  // bytes of the current extent read
  uint32_t filled_ = 0;
  uint32_t used_ = 0;
  uint32_t offered_ = 0;
};

// The extents of frame spans: byte positions in the data plus `offset`.
std::vector<FileExtent> ExtentsOf(const std::vector<FrameStretch>& spans, uint32_t blockAlign,
                                  uint64_t offset) {
  std::vector<FileExtent> extents;
  for (const FrameStretch& span : spans) {
    extents.push_back({offset + span.start * blockAlign, (span.end - span.start) * blockAlign});
  }
  return extents;
}

}  // namespace

int ISampleRuns::Read(void* dst, uint32_t n) {
  auto* out = static_cast<uint8_t*>(dst);
  while (n > 0) {
    uint8_t* run = nullptr;
    uint32_t length = 0;
    if (Next(n, &run, &length) != kFileOk) return kFileShortRead;
    std::memcpy(out, run, length);
    Consume(length);
    out += length;
    n -= length;
  }
  return kFileOk;
}

bool HasSampleData(const SoundFormatInfo& info) {
  return info.decoderType == 0 || info.decoderType == kFlacDecoderType;
}

std::unique_ptr<ISampleData> OpenSampleData(const std::string& path, const SoundFormatInfo& info,
                                            uint32_t ringBytes, bool readAhead) {
  if (info.decoderType == kFlacDecoderType) return OpenFlacSampleData(path, ringBytes);
  if (info.decoderType != 0) return nullptr;
  auto data = std::make_unique<CPlainSampleData>(ringBytes, static_cast<uint32_t>(info.dataOffset));
  if (!data->Open(path, readAhead)) return nullptr;
  return data;
}

std::unique_ptr<ISampleRuns> StartSampleRuns(const std::string& path, const SoundFormatInfo& info,
                                             const std::vector<FrameStretch>& spans,
                                             uint32_t blockBytes, uint32_t blockCount) {
  const uint32_t blockAlign = info.formatBlock.blockAlign;
  if (info.decoderType == 0) {
    auto reader = std::make_unique<CExtentReader>(blockBytes, blockCount);
    if (reader->Open(path.c_str()) != 0) return nullptr;
    reader->Start(ExtentsOf(spans, blockAlign, static_cast<uint32_t>(info.dataOffset)));
    return reader;
  }
  std::unique_ptr<ISampleData> data = OpenSampleData(path, info, blockBytes);
  if (!data) return nullptr;
  return std::make_unique<CSampleDataRuns>(std::move(data), ExtentsOf(spans, blockAlign, 0),
                                           blockBytes);
}

}  // namespace snipora
