#include "audiofile/flac_file.h"

#include <cstring>

namespace snipora {

namespace {

constexpr uint32_t kHeaderRingBytes = 64 * 1024;

// Whether the file holds the "fLaC" mark at its start, or right after an
// ID3v2 tag (which libFLAC skips). Checked first, so that no other file is
// searched through for one. Leaves the file at 0.
bool HasFlacMark(CSectorFile& file) {
  uint8_t start[10] = {};
  if (file.SeekLarge(0) != 0 || file.ReadBlock(start, 10) < 4) return false;
  uint64_t mark = 0;
  if (std::memcmp(start, "ID3", 3) == 0) {
    // The tag's size: four 7-bit bytes, plus a footer when flagged.
    uint64_t size = 0;
    for (int i = 6; i < 10; ++i) size = size << 7 | (start[i] & 0x7F);
    mark = 10 + size + ((start[5] & 0x10) ? 10 : 0);
  }
  uint8_t magic[4] = {};
  const bool found = file.SeekLarge(mark) == 0 && file.ReadBlock(magic, 4) == 4 &&
                     std::memcmp(magic, "fLaC", 4) == 0;
  file.SeekLarge(0);
  return found;
}

// The decoded frames of a FLAC file, read through CFlacStream.
class CFlacSampleData : public ISampleData {
 public:
  explicit CFlacSampleData(uint32_t ringBytes) : file_(ringBytes), input_(file_) {}

  bool Open(const std::string& path) {
    FlacHeader header;
    if (file_.Open(path.c_str(), "rb", 32) != 0 || !HasFlacMark(file_) ||
        !stream_.Begin(input_, header) || header.totalFrames == 0) {
      return false;
    }
    end_ = header.totalFrames * stream_.BlockAlign();
    return true;
  }

  int Seek(uint64_t position) override {
    if (position > end_) return kFileBadArgument;
    if (stream_.MoveWithinBuffer(position)) return kFileOk;
    const uint32_t align = stream_.BlockAlign();
    if (!stream_.SeekTo(position / align)) return kFileBadArgument;
    stream_.SkipBytes(static_cast<uint32_t>(position % align));
    return kFileOk;
  }

  uint32_t Read(void* dst, uint32_t n) override {
    auto* out = static_cast<uint8_t*>(dst);
    uint32_t done = 0;
    while (done < n) {
      if (stream_.BufferedBytes() == 0 && stream_.DecodeFrame() != CFlacStream::Step::kFrame) break;
      done += stream_.TakeBytes(out + done, n - done);
    }
    return done;
  }

 private:
  CSectorFile file_;
  CFlacFileInput input_;
  CFlacStream stream_;
  uint64_t end_ = 0;
};

}  // namespace

IFlacInput::Status CFlacFileInput::Read(uint8_t* dst, size_t& n) {
  const auto wanted = static_cast<uint32_t>(std::min<size_t>(n, UINT32_MAX));
  n = file_.ReadBlock(dst, wanted);
  return n == 0 ? Status::kEnd : Status::kData;
}

bool CFlacFileInput::Seek(uint64_t position) {
  return position <= file_.GetSize() && file_.SeekLarge(position) == 0;
}

uint64_t CFlacFileInput::Tell() const {
  const int64_t position = file_.Tell();
  return position < 0 ? 0 : static_cast<uint64_t>(position);
}

uint64_t CFlacFileInput::Length() const {
  return file_.GetSize();
}

FlacProblem ReadFlacFile(CSectorFile& file, SoundFormatInfo& info, FlacHeader* header) {
  if (!HasFlacMark(file)) return FlacProblem::kNotFlac;
  CFlacFileInput input(file);
  CFlacStream stream;
  FlacHeader read;
  if (!stream.Begin(input, read)) return FlacProblem::kDamaged;
  if (read.totalFrames == 0) return FlacProblem::kNoLength;
  // A file cut short, or damaged at its end, would fail only when played
  // there: the last frame must decode now.
  if (!stream.SeekTo(read.totalFrames - 1)) return FlacProblem::kCutShort;
  FlacFormatRecord(read, file.GetSize(), info);
  if (header != nullptr) *header = std::move(read);
  return FlacProblem::kNone;
}

FlacProblem ReadFlacFile(const std::string& path, SoundFormatInfo& info, FlacHeader* header) {
  CSectorFile file(kHeaderRingBytes);
  if (file.Open(path.c_str(), "rb", 32) != 0) return FlacProblem::kNotFlac;
  return ReadFlacFile(file, info, header);
}

std::unique_ptr<ISampleData> OpenFlacSampleData(const std::string& path, uint32_t ringBytes) {
  auto data = std::make_unique<CFlacSampleData>(ringBytes);
  if (!data->Open(path)) return nullptr;
  return data;
}

}  // namespace snipora
