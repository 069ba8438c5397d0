#include "export/fade.h"

#include <gtest/gtest.h>

#include "tests/export/fade_reference.h"
#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using test::Bytes;

// One fade-out over fadeBytes from the first frame on.
OutputFades FadeOutOver(uint32_t fadeBytes, unsigned blockAlign, unsigned channels,
                        SampleCoding coding = SampleCoding::kPcm, unsigned paddingBits = 0) {
  return OutputFades(FrameScaler(blockAlign, static_cast<uint16_t>(channels), coding, paddingBits),
                     {{0, fadeBytes / blockAlign, FadeDirection::kOut}});
}

// Plain PCM of `blockAlign`-byte frames (two channels when it is even) at bytesPerSecond.
SoundFormatInfo PcmFormat(uint32_t bytesPerSecond, uint16_t blockAlign) {
  SoundFormatInfo format{};
  const uint16_t channels = blockAlign % 2 == 0 ? 2 : 1;
  format.formatBlock = {kWaveFormatPcm,
                        channels,
                        bytesPerSecond / (blockAlign ? blockAlign : 1),
                        bytesPerSecond,
                        blockAlign,
                        static_cast<uint16_t>(blockAlign / channels * 8),
                        0,
                        {}};
  return format;
}

TEST(FadeFrames, TruncatesRoundsToFramesAndStopsAtThePiece) {
  const struct {
    uint32_t bytesPerSecond, ms;
    uint16_t blockAlign;
    uint64_t piece, expected;  // bytes
  } cases[] = {
      {176400, 1000, 4, 1764000, 176400},  // 1 s of 44.1 kHz stereo
      {176400, 1, 4, 1764000, 176},        // 176.4 truncated
      {88200, 1, 2, 1764000, 88},          // 88.2 truncated
      {176400, 3, 4, 1764000, 528},        // 529.2 -> 529 -> whole frames
      {176400, 0, 4, 1764000, 0},          // no fade
      {176400, 2000, 4, 100000, 100000},   // longer than the piece: all of it
      {176400, 1000, 4, 176400, 176400},   // exactly the piece
      {8000, 5000000, 1, 0xFFFFFFFF, 40000000},
      {4000000, 2000000, 4, 10000000000, 8000000000},  // past 32 bits
      {176400, 24347910, 4, 10584000, 10584000},       // 2^32 + 4028 bytes: a 60 s piece
      {264600, 16231940, 6, 15876000, 15876000},       // the same in 24-bit stereo
      {176400, 1000, 0, 1764000, 0},
  };
  for (const auto& c : cases) {
    const uint64_t frames = c.blockAlign ? c.piece / c.blockAlign : c.piece;
    EXPECT_EQ(FadeFrames(PcmFormat(c.bytesPerSecond, c.blockAlign), c.ms, frames),
              c.blockAlign ? c.expected / c.blockAlign : 0)
        << c.bytesPerSecond << " B/s, " << c.ms << " ms, piece " << c.piece;
  }
}

// The fade, applied in uneven whole-frame chunks, equals the reference.
TEST(FadeOut, MatchesTheReferenceForMonoAndStereo) {
  const struct {
    unsigned channels, blockAlign;
    uint32_t fadeBytes;
  } cases[] = {{1, 2, 2}, {1, 2, 2000}, {1, 2, 88200}, {2, 4, 4}, {2, 4, 4000}, {2, 4, 176400}};
  for (const auto& c : cases) {
    Bytes data = test::SeededBytes(c.fadeBytes, c.fadeBytes + c.channels);
    Bytes expected = data;
    test::ReferenceFade(expected, c.fadeBytes, c.blockAlign, c.channels);
    const OutputFades fades = FadeOutOver(c.fadeBytes, c.blockAlign, c.channels);
    uint32_t done = 0;
    for (uint32_t chunk = c.blockAlign; done < c.fadeBytes; chunk = chunk * 3 + 4) {
      const uint32_t n = std::min(chunk - chunk % c.blockAlign, c.fadeBytes - done);
      fades.Apply(data.data() + done, n, done / c.blockAlign);
      done += n;
    }
    EXPECT_EQ(data, expected) << c.channels << " channels, " << c.fadeBytes << " bytes";
  }
}

// Every width and channel count against the reference: one gain step per
// frame, whatever the channel count.
TEST(FadeOut, MatchesTheReferenceForEveryWidth) {
  const struct {
    unsigned sampleBytes;
    SampleCoding coding;
  } widths[] = {{1, SampleCoding::kPcm}, {2, SampleCoding::kPcm},   {3, SampleCoding::kPcm},
                {4, SampleCoding::kPcm}, {4, SampleCoding::kFloat}, {8, SampleCoding::kFloat}};
  for (const auto& w : widths) {
    for (const unsigned channels : {1u, 2u, 6u}) {
      const unsigned blockAlign = w.sampleBytes * channels;
      const uint32_t fadeBytes = blockAlign * 3001;
      const bool isFloat = w.coding == SampleCoding::kFloat;
      Bytes data = test::SeededSamples(fadeBytes, w.sampleBytes, isFloat, blockAlign);
      Bytes expected = data;
      test::ReferenceFade(expected, fadeBytes, blockAlign, channels, isFloat);
      const OutputFades fades = FadeOutOver(fadeBytes, blockAlign, channels, w.coding);
      fades.Apply(data.data(), blockAlign * 1000, 0);
      fades.Apply(data.data() + blockAlign * 1000, fadeBytes - blockAlign * 1000, 1000);
      EXPECT_EQ(data, expected) << w.sampleBytes << " bytes, float " << isFloat << ", " << channels
                                << " channels";
    }
  }
}

// Containers with fewer valid bits (20 in 24, 24 in 32): the value above the padding
// is scaled, and the padding stays zero.
TEST(FadeOut, KeepsThePaddingBelowTheValidBitsZero) {
  for (const auto& [sampleBytes, padding] : {std::pair{3u, 4u}, std::pair{4u, 8u}}) {
    const uint32_t fadeBytes = sampleBytes * 2 * 2000;
    Bytes data = test::SeededBytes(fadeBytes, padding);
    for (size_t at = 0; at < data.size(); at += sampleBytes) data[at] &= ~((1u << padding) - 1);
    Bytes expected = data;
    test::ReferenceFade(expected, fadeBytes, sampleBytes * 2, 2, false, padding);
    FadeOutOver(fadeBytes, sampleBytes * 2, 2, SampleCoding::kPcm, padding)
        .Apply(data.data(), fadeBytes, 0);
    EXPECT_EQ(data, expected) << padding;
  }
}

TEST(FadeOut, OneSecondStereoStepsDownToSilence) {
  // 44100 frames: the step is 3276700000000 / 44100 = 74301587.
  const uint32_t fade = 176400;
  Bytes data(fade);
  for (size_t i = 0; i < data.size(); i += 2) {
    data[i] = 0xFF;  // every sample 32767
    data[i + 1] = 0x7F;
  }
  FadeOutOver(fade, 4, 2).Apply(data.data(), fade, 0);
  // First frame: gain 3276700000000 - 74301587, factor 99997732, 32767 -> 32766.
  EXPECT_EQ(test::GetU16(data, 0), 32766);
  EXPECT_EQ(test::GetU16(data, 2), 32766);
  EXPECT_EQ(test::GetU16(data, fade - 4), 0);
  EXPECT_EQ(test::GetU16(data, fade - 2), 0);
  // Halfway the level is about half.
  EXPECT_NEAR(test::GetU16(data, fade / 2), 16383, 2);
}

TEST(FadeOut, NegativeSamplesTruncateTowardZero) {
  Bytes data = {0x00, 0x80, 0xFF, 0xFF};  // -32768, -1: one stereo frame of a 2-frame fade
  FadeOutOver(8, 4, 2).Apply(data.data(), 4, 0);
  // Step 16383.5e8, factor 50000000: -32768 halves exactly, -1 * 0.5 truncates to 0.
  EXPECT_EQ(static_cast<int16_t>(test::GetU16(data, 0)), -16384);
  EXPECT_EQ(static_cast<int16_t>(test::GetU16(data, 2)), 0);
}

}  // namespace
}  // namespace snipora
