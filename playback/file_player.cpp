#include "playback/file_player.h"

#include <algorithm>
#include <new>

#include "audiofile/wave_reader.h"
#include "playback/auto_volume.h"

namespace snipora {
namespace {

constexpr uint32_t kFileRingBytes = 0x80000;
constexpr uint32_t kIdentifyRingBytes = 60000;
constexpr uint32_t kDecoderQueueBytes = 0x80000;
constexpr uint32_t kScratchBytes = 0x80001;
constexpr uint32_t kDecoderChunk = 512000;
constexpr uint32_t kProbeBytes = 20000;
// Sources of this byte rate or more cannot be played: the sound buffer keeps at most
// 0xF3800 bytes ahead of the play cursor, which must last well over a timer period.
// PCM (tag 1) files keep the historical limit (1.5 s ahead); float, extensible and
// FLAC files, which carry the multichannel and high-resolution layouts, may go down
// to half a second ahead (7.1 at 48 kHz in 32 bits).
constexpr uint32_t kMaxSourceRate = 0xA0001;
constexpr uint32_t kMaxWideSourceRate = 2 * 0xF3800 + 1;
constexpr uint32_t kFileAttributes = 32;

}  // namespace

CDSFilePlayer::CDSFilePlayer(ISoundDevice& device)
    : CDSStreamPlayer(device), file_(kFileRingBytes), identifyFile_(kIdentifyRingBytes) {}

CDSFilePlayer::~CDSFilePlayer() {
  if (state_ & CDS_PLAYING) CDSStreamPlayer::Stop();
  if (IsOpen()) Close();
  while (modules_ != nullptr) {
    Cdeclib* next = modules_->next;
    modules_->Destroy();
    modules_ = next;
  }
}

int CDSFilePlayer::Attach(ITimerHost* host, uint32_t cooperativeLevel, uint32_t timerId) {
  const int result = CDSStreamPlayer::Attach(host, cooperativeLevel, timerId);
  if (result != kPlayerOk) return result;
  scratch1_.reset(new (std::nothrow) uint8_t[kScratchBytes]);
  scratch2_.reset(new (std::nothrow) uint8_t[kScratchBytes]);
  const bool ok =
      (decoderInput_.Capacity() != 0 || decoderInput_.Allocate(kDecoderQueueBytes) == 0) &&
      (decoderOutput_.Capacity() != 0 || decoderOutput_.Allocate(kDecoderQueueBytes) == 0) &&
      scratch1_ && scratch2_;
  if (ok) return kPlayerOk;
  decoderInput_.Release();
  decoderOutput_.Release();
  scratch1_.reset();
  scratch2_.reset();
  queue_.Release();
  state_ &= ~CDS_ATTACHED;
  return kPlayerBadState;
}

Cdeclib* CDSFilePlayer::ModuleOfType(uint32_t type) const {
  for (Cdeclib* module = modules_; module != nullptr; module = module->next) {
    if (module->GetType() == type) return module;
  }
  return nullptr;
}

int CDSFilePlayer::AddDecoderModule(Cdeclib* module, int mode) {
  if (module == nullptr) return kPlayerBadState;
  const bool refused = !(state_ & CDS_ATTACHED) ||
                       module->Attach(scratch1_.get(), scratch2_.get()) != 0 ||
                       (module->GetType() != 0 && ModuleOfType(module->GetType()) != nullptr);
  if (refused) {
    module->Destroy();
    return kPlayerBadState;
  }
  module->next = nullptr;
  if (mode == 2 || modules_ == nullptr) {
    module->next = modules_;
    modules_ = module;
  } else {
    Cdeclib* last = modules_;
    while (last->next != nullptr) last = last->next;
    last->next = module;
  }
  return kPlayerOk;
}

int CDSFilePlayer::ProbeWaveFile(const char* path, SoundFormatInfo& info) {
  return snipora::ProbeWaveFile(path, info);
}

int CDSFilePlayer::Identify(const char* path) {
  identifyFile_.SetReadAhead(0, 0);
  if (identifyFile_.Open(path, "rb", kFileAttributes) != 0) return kPlayerBadFile;
  int result = ReadRiffWaveHeader(identifyFile_, fileInfo_);
  // Code 7 (format extension too long) is a RIFF WAVE file that no module can help.
  if (result != 0 && result != 7) {
    for (Cdeclib* module = modules_; module != nullptr; module = module->next) {
      identifyFile_.Seek(0, 0);
      if (module->ReadHeader(identifyFile_, fileInfo_) == 0) {
        result = 0;
        break;
      }
    }
  }
  identifyFile_.Close();
  return result == 0 ? kPlayerOk : kPlayerBadFile;
}

void CDSFilePlayer::ClearDecoderQueues() {
  decoderInput_.Clear();
  decoderOutput_.Clear();
}

int CDSFilePlayer::FillDecoderInput(uint32_t bytes) {
  const uint32_t moved = file_.ReadToRingChunked(decoderInput_, bytes);
  totalRead_ += moved;
  // A file shorter than its header says ends the source here.
  bytesLeft_ = moved < bytes ? 0 : bytesLeft_ - std::min<uint64_t>(moved, bytesLeft_);
  return moved;
}

int CDSFilePlayer::Open(const char* path) {
  if (soundObject_ == nullptr && CreateSoundObject() != kPlayerOk) return kPlayerBadState;
  if (state_ & CDS_PLAYING) return kPlayerBadState;
  if (IsOpen()) Close();
  state_ &= ~CDS_OPENED;

  if (Identify(path) != kPlayerOk) return kPlayerBadFile;
  const WaveFormatBlock& source = fileInfo_.formatBlock;
  const bool historical = source.formatTag == kWaveFormatPcm && fileInfo_.decoderType == 0;
  const uint32_t maxRate = historical ? kMaxSourceRate : kMaxWideSourceRate;
  if (source.avgBytesPerSec >= maxRate) return kPlayerBadFile;
  const PcmFormat output = DeriveOutputFormat(fileInfo_);
  if (output.blockAlign == 0 || output.bytesPerSecond == 0 || output.channels == 0 ||
      (output.bitsPerSample == 16 && output.channels > kMaxSteppedChannels)) {
    return kPlayerBadFile;
  }
  if (ResizeForSpeed(speedPercent_, output.bytesPerSecond, output.blockAlign) != kPlayerOk) {
    return kPlayerBadState;
  }
  outputFormat_ = output;
  if (file_.SetReadAhead(2, static_cast<int32_t>(source.avgBytesPerSec)) != 0)
    file_.SetReadAhead(1, 0);
  if (file_.Open(path, "rb", kFileAttributes) != 0) return kPlayerBadFile;

  decoderChunk_ = kDecoderChunk;
  dataSize_ = fileInfo_.dataSize;
  duration_ = static_cast<uint32_t>(fileInfo_.lengthMs);
  sourceFormat_ = WaveFormatBlock{};
  std::copy_n(reinterpret_cast<const uint8_t*>(&source), 18,
              reinterpret_cast<uint8_t*>(&sourceFormat_));
  loopStart_ = 0;
  loopEnd_ = kEndOfData;
  endPosition_ = kEndOfData;
  bytesLeft_ = dataSize_;
  totalRead_ = 0;
  file_.SeekLarge(static_cast<uint32_t>(fileInfo_.dataOffset));
  queue_.Clear();
  outstanding_ = 0;
  currentModule_ = nullptr;

  if (fileInfo_.decoderType != 0) {
    currentModule_ = ModuleOfType(fileInfo_.decoderType);
    if (currentModule_ == nullptr) {
      file_.Close();
      return kPlayerBadFile;
    }
    ClearDecoderQueues();
    FillDecoderInput(static_cast<uint32_t>(std::min<uint64_t>(dataSize_, kDecoderChunk)));
    if (currentModule_->BeginDecode(decoderInput_, fileInfo_) != 0) {
      currentModule_ = nullptr;
      file_.Close();
      return kPlayerBadFile;
    }
  }
  if (state_ & CDS_OPENVOLUMEMAXIMIZE) {
    const int32_t level = ProbeLevel();
    if (level < 0 || RewindAfterProbing() != kPlayerOk) {
      if (file_.IsOpen()) file_.Close();
      currentModule_ = nullptr;
      return kPlayerBadState;
    }
    targetGain_ = level == 0 ? 100 : static_cast<int16_t>(std::min(GainForLevel(level), 10000));
  }
  state_ |= CDS_OPENED;
  if (CreateSoundBuffer() != kPlayerOk) return kPlayerBadState;
  state_ &= ~(CDS_DATAEND | CDS_LOOPPENDING);
  gainInEffect_ = targetGain_;
  return Refill(3) == kPlayerOk ? kPlayerOk : kPlayerBadState;
}

int CDSFilePlayer::Close() {
  if ((state_ & CDS_PLAYING) || !IsOpen()) return kPlayerBadState;
  file_.Close();
  state_ &= ~CDS_OPENED;
  if (currentModule_ != nullptr) currentModule_->EndDecode();
  currentModule_ = nullptr;
  queue_.Clear();
  ClearDecoderQueues();
  return kPlayerOk;
}

int32_t CDSFilePlayer::MeasureDecoderOutput() {
  if (outputFormat_.bitsPerSample != 16) return 32768;
  uint8_t* first = nullptr;
  uint32_t firstLength = 0;
  uint8_t* second = nullptr;
  uint32_t secondLength = 0;
  CRingBuffer& output = decoderOutput_;
  if (output.Count() == 0 ||
      output.Lock(0, output.Count(), &first, &firstLength, &second, &secondLength) != 0) {
    return 0;
  }
  const LevelMeasure measure = (state_ & CDS_VOLCTL_VER2) ? &LoudnessLevel : &PeakLevel;
  int32_t level = measure(reinterpret_cast<const int16_t*>(first), firstLength);
  if (second != nullptr) {
    level = std::max(level, measure(reinterpret_cast<const int16_t*>(second), secondLength));
  }
  return level;
}

int32_t CDSFilePlayer::ProbeLevel() {
  file_.SetReadAhead(0, 0);
  const uint32_t dataOffset = static_cast<uint32_t>(fileInfo_.dataOffset);
  const uint32_t align = std::max<uint32_t>(sourceFormat_.blockAlign, 1);
  int32_t level = 0;
  for (uint32_t i = 1; i <= 3; ++i) {
    uint64_t start = dataSize_ / 4 * i;
    if (currentModule_ == nullptr) {
      start -= start % align;
      file_.SeekLarge(dataOffset + start);
      decoderOutput_.Clear();
      file_.ReadToRing(decoderOutput_, kProbeBytes);
    } else {
      DecoderSeekRequest request{fileInfo_.lengthFrames / 4 * i, dataOffset + start};
      if (currentModule_->SeekSource(request, file_, fileInfo_) != 0) {
        level = 32768;
        break;
      }
      ClearDecoderQueues();
      file_.ReadToRingChunked(decoderInput_, kDecoderChunk);
      if (currentModule_->Decode(decoderInput_, decoderOutput_, kProbeBytes) == -1) return -1;
    }
    level = std::max(level, MeasureDecoderOutput());
  }
  return level;
}

int CDSFilePlayer::RewindAfterProbing() {
  if (currentModule_ != nullptr) currentModule_->EndDecode();
  file_.SeekLarge(static_cast<uint32_t>(fileInfo_.dataOffset));
  ClearDecoderQueues();
  if (currentModule_ != nullptr) {
    file_.ReadToRingChunked(decoderInput_,
                            static_cast<uint32_t>(std::min<uint64_t>(dataSize_, kDecoderChunk)));
    if (currentModule_->BeginDecode(decoderInput_, fileInfo_) != 0) return kPlayerBadState;
  }
  if (file_.SetReadAhead(2, static_cast<int32_t>(sourceFormat_.avgBytesPerSec)) != 0) {
    file_.SetReadAhead(1, 0);
  }
  return kPlayerOk;
}

}  // namespace snipora
