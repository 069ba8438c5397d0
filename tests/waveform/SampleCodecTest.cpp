#include "waveform/sample_codec.h"

#include <gtest/gtest.h>

#include "waveform/clock_text.h"

namespace snipora {
namespace {

struct CodecCase {
  const char* name;
  uint16_t tag;
  uint16_t bits;
  uint16_t subFormat;  // for 0xFFFE
  std::vector<uint8_t> sample;
  std::optional<float> value;  // none: no codec
};

SoundFormatInfo FormatOf(const CodecCase& c) {
  SoundFormatInfo info;
  WaveFormatBlock& b = info.formatBlock;
  b.formatTag = c.tag;
  b.channels = 1;
  b.bitsPerSample = c.bits;
  b.blockAlign = static_cast<uint16_t>(c.bits / 8);
  if (c.tag == 0xFFFE) {
    b.extraSize = 22;
    b.extra[6] = static_cast<uint8_t>(c.subFormat);
  }
  return info;
}

TEST(SampleCodec, PicksTheDecoderByTagAndWidth) {
  const CodecCase cases[] = {
      {"u8 lowest", 1, 8, 0, {0x00}, -1.0f},
      {"u8 centre", 1, 8, 0, {0x80}, 0.0f},
      {"u8 highest", 1, 8, 0, {0xFF}, 127 / 128.0f},
      {"s16 lowest", 1, 16, 0, {0x00, 0x80}, -1.0f},
      {"s16 -1", 1, 16, 0, {0xFF, 0xFF}, -1 / 32768.0f},
      {"s16 highest", 1, 16, 0, {0xFF, 0x7F}, 32767 / 32768.0f},
      {"s24 lowest", 1, 24, 0, {0x00, 0x00, 0x80}, -1.0f},
      {"s24 half", 1, 24, 0, {0x00, 0x00, 0x40}, 0.5f},
      {"s24 -1", 1, 24, 0, {0xFF, 0xFF, 0xFF}, -1 / 8388608.0f},
      {"s32 lowest", 1, 32, 0, {0, 0, 0, 0x80}, -1.0f},
      {"s32 quarter", 1, 32, 0, {0, 0, 0, 0x20}, 0.25f},
      {"f32", 3, 32, 0, {0x00, 0x00, 0x00, 0x3F}, 0.5f},
      {"f64", 3, 64, 0, {0, 0, 0, 0, 0, 0, 0xD0, 0xBF}, -0.25f},
      {"extensible float", 0xFFFE, 32, 3, {0x00, 0x00, 0x80, 0xBF}, -1.0f},
      {"extensible pcm", 0xFFFE, 16, 1, {0x00, 0x40}, 0.5f},
      {"12-bit", 1, 12, 0, {0, 0}, std::nullopt},
      {"f16", 3, 16, 0, {0, 0}, std::nullopt},
  };
  for (const CodecCase& c : cases) {
    const std::optional<SampleCodec> codec = CodecFor(FormatOf(c));
    ASSERT_EQ(codec.has_value(), c.value.has_value()) << c.name;
    if (!codec) continue;
    EXPECT_EQ(codec->decode(c.sample.data()), *c.value) << c.name;
    PeakPair peak = kNoPeak;
    codec->fold(c.sample.data(), 1, codec->shape, &peak);
    EXPECT_EQ(peak.min, *c.value) << c.name;
    EXPECT_EQ(peak.max, *c.value) << c.name;
  }
}

TEST(SampleCodec, RefusesDecoderDataAndImpossibleShapes) {
  CodecCase pcm{"", 1, 16, 0, {}, {}};
  SoundFormatInfo decoded = FormatOf(pcm);
  decoded.decoderType = 1;
  EXPECT_FALSE(CodecFor(decoded));
  SoundFormatInfo narrow = FormatOf(pcm);
  narrow.formatBlock.channels = 2;  // two 16-bit samples cannot fit 2 bytes
  EXPECT_FALSE(CodecFor(narrow));
  SoundFormatInfo none = FormatOf(pcm);
  none.formatBlock.channels = 0;
  EXPECT_FALSE(CodecFor(none));
}

TEST(ClockText, FormatsHoursMinutesSecondsMilliseconds) {
  const struct {
    uint64_t frame;
    uint32_t rate;
    const char* text;
  } cases[] = {
      {0, 44100, "0:00:00.000"},
      {44, 44100, "0:00:00.001"},     // the frame that holds 1 ms shows it
      {44099, 44100, "0:00:00.999"},  // never up to the next second
      {44100, 44100, "0:00:01.000"},
      {44100ull * 61 + 22050, 44100, "0:01:01.500"},
      {48000ull * 3600 * 10 + 48, 48000, "10:00:00.001"},
      {uint64_t{UINT32_MAX}, 8000, "149:07:50.911"},
      {12345, 0, "0:00:00.000"},
  };
  for (const auto& c : cases) EXPECT_EQ(ClockText(c.frame, c.rate), c.text) << c.frame;
}

}  // namespace
}  // namespace snipora
