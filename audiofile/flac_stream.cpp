#include "audiofile/flac_stream.h"

#include <algorithm>
#include <cstring>

#include "audiofile/sound_units.h"

namespace snipora {

namespace {

// FLAC's own limits of the formats this program reads.
constexpr uint32_t kMaxChannels = 8;
constexpr uint32_t kMinBits = 4;
constexpr uint32_t kMaxBits = 32;

// The STREAMINFO body as stored: its fields packed most significant bit first.
std::array<uint8_t, kFlacStreamInfoBytes> PackStreamInfo(const FLAC__StreamMetadata_StreamInfo& s) {
  std::array<uint8_t, kFlacStreamInfoBytes> body{};
  uint32_t bit = 0;
  const auto put = [&](uint64_t value, uint32_t width) {
    for (uint32_t i = width; i-- > 0; ++bit) {
      if ((value >> i) & 1) body[bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
    }
  };
  put(s.min_blocksize, 16);
  put(s.max_blocksize, 16);
  put(s.min_framesize, 24);
  put(s.max_framesize, 24);
  put(s.sample_rate, 20);
  put(s.channels - 1, 3);
  put(s.bits_per_sample - 1, 5);
  put(s.total_samples, 36);
  std::memcpy(body.data() + 18, s.md5sum, 16);
  return body;
}

// Interleaves `frames` samples of each of `channels` channels (Channels
// when that is not 0) as little-endian integers of Bytes bytes, shifted up by
// `shift` (8-bit ones made unsigned).
template <uint32_t Bytes, uint32_t Channels>
void Interleave(const FLAC__int32* const buffer[], uint32_t channels, uint32_t frames,
                uint32_t shift, uint8_t* out) {
  if constexpr (Channels != 0) channels = Channels;
  for (uint32_t f = 0; f < frames; ++f) {
    for (uint32_t c = 0; c < channels; ++c) {
      auto value = static_cast<uint32_t>(buffer[c][f]) << shift;
      if constexpr (Bytes == 1) value += 128;
      for (uint32_t b = 0; b < Bytes; ++b) *out++ = static_cast<uint8_t>(value >> (8 * b));
    }
  }
}

// The same with the channel counts of most files spelt out for the compiler.
template <uint32_t Bytes>
void InterleaveChannels(const FLAC__int32* const buffer[], uint32_t channels, uint32_t frames,
                        uint32_t shift, uint8_t* out) {
  if (channels == 2) return Interleave<Bytes, 2>(buffer, channels, frames, shift, out);
  if (channels == 1) return Interleave<Bytes, 1>(buffer, channels, frames, shift, out);
  Interleave<Bytes, 0>(buffer, channels, frames, shift, out);
}

}  // namespace

CFlacStream::CFlacStream() = default;

CFlacStream::~CFlacStream() {
  if (decoder_ != nullptr) FLAC__stream_decoder_delete(decoder_);
}

bool CFlacStream::Begin(IFlacInput& input, FlacHeader& header) {
  input_ = &input;
  header = FlacHeader();
  ClearBuffer();
  bufferStart_ = 0;
  expected_ = 0;
  failed_ = false;
  gotStreamInfo_ = false;
  totalFrames_ = 0;
  if (decoder_ == nullptr) {
    decoder_ = FLAC__stream_decoder_new();
    if (decoder_ == nullptr) return false;
  } else {
    FLAC__stream_decoder_finish(decoder_);
  }
  FLAC__stream_decoder_set_md5_checking(decoder_, false);
  FLAC__stream_decoder_set_metadata_respond(decoder_, FLAC__METADATA_TYPE_VORBIS_COMMENT);
  if (FLAC__stream_decoder_init_stream(decoder_, OnRead, OnSeek, OnTell, OnLength, OnEof, OnWrite,
                                       OnMetadata, OnError,
                                       this) != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
    return false;
  }
  header_ = &header;
  const bool read = FLAC__stream_decoder_process_until_end_of_metadata(decoder_);
  header_ = nullptr;
  if (!read || failed_ || !gotStreamInfo_ ||
      FLAC__stream_decoder_get_state(decoder_) != FLAC__STREAM_DECODER_SEARCH_FOR_FRAME_SYNC ||
      !DecodePosition(header.firstFrameOffset)) {
    return false;
  }
  if (header.sampleRate == 0 || header.channels == 0 || header.channels > kMaxChannels ||
      header.bitsPerSample < kMinBits || header.bitsPerSample > kMaxBits) {
    return false;
  }
  channels_ = header.channels;
  bits_ = header.bitsPerSample;
  sampleBytes_ = (bits_ + 7) / 8;
  shift_ = sampleBytes_ * 8 - bits_;
  blockAlign_ = channels_ * sampleBytes_;
  totalFrames_ = header.totalFrames;
  return true;
}

CFlacStream::Step CFlacStream::DecodeFrame() {
  if (failed_) return Step::kFailed;
  if (AtStatedEnd()) return Step::kEnd;
  if (taken_ != 0) {
    // What was handed out leaves the buffer before it grows.
    decoded_.erase(decoded_.begin(), decoded_.begin() + static_cast<ptrdiff_t>(taken_));
    bufferStart_ += taken_;
    taken_ = 0;
  }
  waiting_ = false;
  wrote_ = false;
  const bool ok = FLAC__stream_decoder_process_single(decoder_);
  if (waiting_) {
    // The ring ran dry inside a frame: that frame is read again once refilled.
    Flush();
    return failed_ ? Step::kFailed : Step::kWait;
  }
  if (failed_) return Step::kFailed;
  if (wrote_) return Step::kFrame;
  const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(decoder_);
  if (ok && state == FLAC__STREAM_DECODER_END_OF_STREAM) {
    // A stream that ends before its stated length is cut short.
    if (totalFrames_ != 0) failed_ = true;
    return failed_ ? Step::kFailed : Step::kEnd;
  }
  failed_ = true;
  return Step::kFailed;
}

bool CFlacStream::SeekTo(uint64_t frame) {
  ClearBuffer();
  bufferStart_ = frame * blockAlign_;
  expected_ = frame;
  failed_ = false;
  if (totalFrames_ != 0 && frame >= totalFrames_) return frame == totalFrames_;
  const FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(decoder_);
  if (state == FLAC__STREAM_DECODER_ABORTED || state == FLAC__STREAM_DECODER_SEEK_ERROR) Flush();
  wrote_ = false;
  // libFLAC hands the target's frame from the target on to OnWrite.
  if (!FLAC__stream_decoder_seek_absolute(decoder_, frame) || !wrote_ || failed_) {
    Flush();
    failed_ = true;
    return false;
  }
  return true;
}

void CFlacStream::Flush() {
  FLAC__stream_decoder_flush(decoder_);
}

bool CFlacStream::DecodePosition(uint64_t& position) const {
  FLAC__uint64 at = 0;
  if (!FLAC__stream_decoder_get_decode_position(decoder_, &at)) return false;
  position = at;
  return true;
}

bool CFlacStream::MoveWithinBuffer(uint64_t position) {
  if (position < bufferStart_ || position > bufferStart_ + decoded_.size()) return false;
  taken_ = static_cast<size_t>(position - bufferStart_);
  return true;
}

uint32_t CFlacStream::TakeBytes(uint8_t* dst, uint32_t n) {
  const uint32_t count = std::min(n, BufferedBytes());
  if (count == 0) return 0;
  std::memcpy(dst, decoded_.data() + taken_, count);
  taken_ += count;
  return count;
}

void CFlacStream::SkipBytes(uint32_t n) {
  taken_ += std::min(n, BufferedBytes());
}

void CFlacStream::ClearBuffer() {
  bufferStart_ += decoded_.size();
  decoded_.clear();
  taken_ = 0;
}

void CFlacStream::Store(const FLAC__int32* const buffer[], uint32_t frames) {
  const size_t at = decoded_.size();
  decoded_.resize(at + size_t{frames} * blockAlign_);
  uint8_t* out = decoded_.data() + at;
  switch (sampleBytes_) {
    case 1:
      InterleaveChannels<1>(buffer, channels_, frames, shift_, out);
      break;
    case 2:
      InterleaveChannels<2>(buffer, channels_, frames, shift_, out);
      break;
    case 3:
      InterleaveChannels<3>(buffer, channels_, frames, shift_, out);
      break;
    default:
      InterleaveChannels<4>(buffer, channels_, frames, shift_, out);
      break;
  }
}

FLAC__StreamDecoderReadStatus CFlacStream::OnRead(const FLAC__StreamDecoder*, FLAC__byte buffer[],
                                                  size_t* bytes, void* self) {
  auto& stream = *static_cast<CFlacStream*>(self);
  switch (stream.input_->Read(buffer, *bytes)) {
    case IFlacInput::Status::kData:
      return FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
    case IFlacInput::Status::kEnd:
      return *bytes == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM
                         : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
    case IFlacInput::Status::kWait:
      break;
  }
  stream.waiting_ = true;
  return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
}

FLAC__StreamDecoderSeekStatus CFlacStream::OnSeek(const FLAC__StreamDecoder*, FLAC__uint64 position,
                                                  void* self) {
  return static_cast<CFlacStream*>(self)->input_->Seek(position)
             ? FLAC__STREAM_DECODER_SEEK_STATUS_OK
             : FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
}

FLAC__StreamDecoderTellStatus CFlacStream::OnTell(const FLAC__StreamDecoder*,
                                                  FLAC__uint64* position, void* self) {
  *position = static_cast<CFlacStream*>(self)->input_->Tell();
  return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus CFlacStream::OnLength(const FLAC__StreamDecoder*,
                                                      FLAC__uint64* length, void* self) {
  *length = static_cast<CFlacStream*>(self)->input_->Length();
  return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool CFlacStream::OnEof(const FLAC__StreamDecoder*, void* self) {
  const IFlacInput& input = *static_cast<CFlacStream*>(self)->input_;
  return input.Tell() >= input.Length();
}

FLAC__StreamDecoderWriteStatus CFlacStream::OnWrite(const FLAC__StreamDecoder*,
                                                    const FLAC__Frame* frame,
                                                    const FLAC__int32* const buffer[], void* self) {
  auto& stream = *static_cast<CFlacStream*>(self);
  // A frame libFLAC reported damaged comes as silence: it is not sound.
  if (stream.failed_) return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  const FLAC__FrameHeader& header = frame->header;
  const uint64_t frames = header.blocksize;
  // Frames must follow one another exactly, in the layout of the header, and
  // end at the stated length.
  if (header.number.sample_number != stream.expected_ || header.channels != stream.channels_ ||
      header.bits_per_sample != stream.bits_ ||
      (stream.totalFrames_ != 0 && stream.expected_ + frames > stream.totalFrames_)) {
    stream.failed_ = true;
    return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
  }
  stream.Store(buffer, header.blocksize);
  stream.expected_ += frames;
  stream.wrote_ = true;
  return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

void CFlacStream::OnMetadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata,
                             void* self) {
  auto& stream = *static_cast<CFlacStream*>(self);
  FlacHeader* header = stream.header_;
  if (header == nullptr) return;
  if (metadata->type == FLAC__METADATA_TYPE_STREAMINFO) {
    const FLAC__StreamMetadata_StreamInfo& info = metadata->data.stream_info;
    header->sampleRate = info.sample_rate;
    header->channels = info.channels;
    header->bitsPerSample = info.bits_per_sample;
    header->totalFrames = info.total_samples;
    header->streamInfo = PackStreamInfo(info);
    stream.gotStreamInfo_ = true;
  } else if (metadata->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) {
    const FLAC__StreamMetadata_VorbisComment& vc = metadata->data.vorbis_comment;
    const auto text = [](const FLAC__StreamMetadata_VorbisComment_Entry& entry) {
      return entry.entry == nullptr
                 ? std::string()
                 : std::string(reinterpret_cast<const char*>(entry.entry), entry.length);
    };
    header->vendor = text(vc.vendor_string);
    header->comments.clear();
    for (uint32_t i = 0; i < vc.num_comments; ++i) header->comments.push_back(text(vc.comments[i]));
  }
}

void CFlacStream::OnError(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* self) {
  auto& stream = *static_cast<CFlacStream*>(self);
  // Bytes after the stated length (a tag some writers append) are no damage.
  if (!stream.AtStatedEnd()) stream.failed_ = true;
}

uint32_t FlacChannelMask(uint32_t channels) {
  static constexpr uint32_t kMasks[] = {0, 0x4, 0x3, 0x7, 0x33, 0x37, 0x3F, 0x70F, 0x63F};
  return channels < std::size(kMasks) ? kMasks[channels] : 0;
}

void FlacFormatRecord(const FlacHeader& header, uint64_t fileSize, SoundFormatInfo& info) {
  info = SoundFormatInfo();
  const uint32_t sampleBytes = (header.bitsPerSample + 7) / 8;
  const uint32_t blockAlign = header.channels * sampleBytes;
  const uint32_t mask = FlacChannelMask(header.channels);
  const bool plain = header.channels <= 2 && header.bitsPerSample == sampleBytes * 8;
  WaveFormatBlock& block = info.formatBlock;
  block.formatTag = plain ? kWaveFormatPcm : kWaveFormatExtensible;
  block.channels = static_cast<uint16_t>(header.channels);
  block.samplesPerSec = header.sampleRate;
  block.avgBytesPerSec = header.sampleRate * blockAlign;
  block.blockAlign = static_cast<uint16_t>(blockAlign);
  block.bitsPerSample = static_cast<uint16_t>(sampleBytes * 8);
  if (!plain) {
    // WAVEFORMATEXTENSIBLE: valid bits, channel mask, the PCM sub-format GUID.
    static constexpr uint8_t kPcmGuid[16] = {1,    0, 0, 0,    0, 0,    0x10, 0,
                                             0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
    block.extraSize = 22;
    block.extra[0] = static_cast<uint8_t>(header.bitsPerSample);
    for (int i = 0; i < 4; ++i) block.extra[2 + i] = static_cast<uint8_t>(mask >> (8 * i));
    std::memcpy(block.extra + 6, kPcmGuid, 16);
  }
  info.format = &info.formatBlock;
  info.channels = static_cast<int16_t>(header.channels);
  info.sampleRate = header.sampleRate;
  info.lengthFrames = header.totalFrames;
  info.dataOffset = static_cast<int32_t>(header.firstFrameOffset);
  info.dataSize = header.totalFrames * blockAlign;
  info.containerLength = static_cast<int64_t>(fileSize);
  info.lengthMs = static_cast<int32_t>(FramesToMilliseconds(header.totalFrames, header.sampleRate));
  // What the compressed data takes per second, as a player shows it.
  const uint64_t seconds10 = header.totalFrames * 10 / header.sampleRate;
  const uint64_t compressed =
      fileSize > header.firstFrameOffset ? fileSize - header.firstFrameOffset : 0;
  info.bitRate =
      seconds10 == 0
          ? 0
          : static_cast<int32_t>(std::min<uint64_t>(compressed * 80 / seconds10, INT32_MAX));
  info.decoderType = kFlacDecoderType;
  info.SetTypeName("FLAC");
  info.validBits = static_cast<uint16_t>(header.bitsPerSample);
  info.channelMask = plain ? 0 : mask;
  info.formatChunkSize = plain ? 16 : 40;
  std::memcpy(info.decoderSetup, header.streamInfo.data(), kFlacStreamInfoBytes);
}

}  // namespace snipora
