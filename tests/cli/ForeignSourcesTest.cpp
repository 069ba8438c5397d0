// snipora-cut on files written by sox and ffmpeg in the layouts users record
// (extensible 24/32-bit, float, 5.1, 7.1): --info against ffprobe and the file's own
// bytes; pieces and joined files byte for byte; soxi and ffprobe read every output
// with the source's sample format and channel layout.
#include <cstdlib>
#include <map>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/export/fade_reference.h"
#include "tests/support/flac_files.h"
#include "tests/support/foreign_sources.h"
#include "tests/support/test_support.h"
#include "tests/support/wave_bytes.h"

namespace snipora {
namespace {

using namespace snipora::test;

std::map<std::string, std::string> KeyValues(const std::string& text, char separator) {
  std::map<std::string, std::string> values;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line, separator);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) values[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return values;
}

// What ffprobe and soxi say about a file's one stream.
std::map<std::string, std::string> Probe(const std::string& path) {
  const CommandResult ffprobe = RunCommand(
      "ffprobe -v error -show_entries "
      "stream=codec_name,sample_rate,channels,channel_layout,bits_per_sample,bits_per_raw_sample "
      "-of compact=nokey=0:print_section=0 " +
      ShellQuote(path));
  EXPECT_EQ(ffprobe.exitCode, 0) << ffprobe.output;
  std::string text = ffprobe.output;
  while (!text.empty() && text.back() == '\n') text.pop_back();
  auto values = KeyValues(text, '|');
  for (const char* flag : {"-c", "-r", "-b", "-e", "-s"}) {
    CommandResult soxi = RunCommand(std::string("soxi -V0 ") + flag + " " + ShellQuote(path));
    EXPECT_EQ(soxi.exitCode, 0) << path << ": " << soxi.output;
    while (!soxi.output.empty() && soxi.output.back() == '\n') soxi.output.pop_back();
    values[std::string("soxi") + flag] = soxi.output;
  }
  return values;
}

std::string Cut(const std::string& args) {
  const CommandResult r = RunCommand(ShellQuote(std::getenv("SNIPORA_CUT")) + " " + args);
  EXPECT_EQ(r.exitCode, 0) << args << "\n" << r.output;
  return r.output;
}

Bytes U32(uint32_t v) {
  Bytes b;
  PutU32(b, v);
  return b;
}

class ForeignSourceTest : public ::testing::TestWithParam<ForeignSource> {};

TEST_P(ForeignSourceTest, InfoPiecesAndJoinedFile) {
  if (std::getenv("SNIPORA_CUT") == nullptr) GTEST_SKIP() << "SNIPORA_CUT is not set";
  if (!HaveProgram("ffprobe") || !HaveProgram("soxi")) GTEST_SKIP() << "ffprobe or soxi missing";
  const ForeignSource& source = GetParam();
  TempDir dir;
  const std::string path = dir.File("src.wav");
  std::string why;
  if (!MakeForeignSource(source, path, why)) GTEST_SKIP() << why;
  const Bytes file = ReadFileBytes(path);
  const Bytes fmt = ChunkBody(file, "fmt ");
  const Bytes data = ChunkBody(file, "data");
  const auto probed = Probe(path);

  // --info: the tag as the file states it, the rest as ffprobe and soxi see it.
  const auto info = KeyValues(Cut("--info " + ShellQuote(path)), '\n');
  EXPECT_EQ(info.at("format_tag"), std::to_string(GetU16(fmt, 0)));
  EXPECT_EQ(info.at("format_tag"), std::to_string(source.formatTag));
  EXPECT_EQ(info.at("channels"), probed.at("channels"));
  EXPECT_EQ(info.at("sample_rate"), probed.at("sample_rate"));
  EXPECT_EQ(info.at("bits_per_sample"), probed.at("bits_per_sample"));
  const std::string rawBits = probed.at("bits_per_raw_sample");
  EXPECT_EQ(info.at("valid_bits"), rawBits == "N/A" ? probed.at("bits_per_sample") : rawBits);
  std::ostringstream mask;
  mask << "0x" << std::hex << source.channelMask;
  EXPECT_EQ(info.at("channel_mask"), mask.str());
  const bool isFloat = probed.at("codec_name").rfind("pcm_f", 0) == 0;
  EXPECT_EQ(info.at("sub_format"), isFloat ? "float" : "pcm");
  EXPECT_EQ(info.at("frames"), probed.at("soxi-s"));

  // Two pieces and a joined file faded over its last 100 ms.
  const unsigned channels = std::stoul(info.at("channels"));
  const unsigned align = std::stoul(info.at("block_align"));
  const auto frames = [&](size_t from, size_t to) {
    return Bytes(data.begin() + from * align, data.begin() + to * align);
  };
  // ffmpeg writes a LIST INFO (ISFT); it is kept, a piece's number added as ITRK.
  const Bytes infoList = ChunkBody(file, "LIST");
  const auto expectedFile = [&](const Bytes& samples, const char* number) {
    std::vector<Bytes> chunks = {RiffChunk("fmt ", fmt),
                                 RiffChunk("fact", U32(samples.size() / align))};
    if (!infoList.empty()) {
      Bytes list = infoList;
      if (*number) {
        const Bytes track = RiffChunk("ITRK", {static_cast<uint8_t>(*number), 0});
        list.insert(list.end(), track.begin(), track.end());
      }
      chunks.push_back(RiffChunk("LIST", list));
    }
    chunks.push_back(RiffChunk("data", samples));
    return RiffWave(chunks);
  };
  Cut("-q -o " + ShellQuote(dir.File("pieces")) + " " + ShellQuote(path) + " 0:1000 5000:9801");
  Cut("-q -j --fade 100 -o " + ShellQuote(dir.File("joined.wav")) + " " + ShellQuote(path) +
      " 0:1000 5000:9801");
  Bytes joined = frames(0, 1000);
  const Bytes second = frames(5000, 9801);
  joined.insert(joined.end(), second.begin(), second.end());
  // 100 ms, at most the whole file.
  const size_t fadeBytes = std::stoul(info.at("bytes_per_second")) / 10 / align * align;
  ReferenceFade(joined, std::min(fadeBytes, joined.size()), align, channels, isFloat);
  const struct {
    std::string name;
    Bytes expected;
  } outputs[] = {{"pieces/01.wav", expectedFile(frames(0, 1000), "1")},
                 {"pieces/02.wav", expectedFile(second, "2")},
                 {"joined.wav", expectedFile(joined, "")}};
  for (const auto& output : outputs) {
    SCOPED_TRACE(output.name);
    EXPECT_TRUE(ReadFileBytes(dir.File(output.name)) == output.expected);
    auto seen = Probe(dir.File(output.name));
    EXPECT_EQ(seen.at("soxi-s"), std::to_string(ChunkBody(output.expected, "data").size() / align));
    seen.erase("soxi-s");
    auto wanted = probed;
    wanted.erase("soxi-s");
    EXPECT_EQ(seen, wanted);
  }
}

// A FLAC file written by flac describes its decoded frames, as metaflac reads
// the stream's header.
TEST(FlacSourceTest, InfoDescribesTheDecodedFrames) {
  if (std::getenv("SNIPORA_CUT") == nullptr) GTEST_SKIP() << "SNIPORA_CUT is not set";
  if (!HaveProgram("metaflac")) GTEST_SKIP() << "metaflac missing";
  TempDir dir;
  const std::string path = dir.File("surround.flac");
  std::string why;
  ASSERT_TRUE(MakeFlac(path, {24, 6, 48000, 12345}, why)) << why;
  const auto info = KeyValues(Cut("--info " + ShellQuote(path)), '\n');
  const auto meta = [&](const char* what) {
    std::string text =
        RunCommand("metaflac --show-" + std::string(what) + " " + ShellQuote(path)).output;
    return text.substr(0, text.find('\n'));
  };
  EXPECT_EQ(info.at("codec"), "flac");
  EXPECT_EQ(info.at("frames"), meta("total-samples"));
  EXPECT_EQ(info.at("sample_rate"), meta("sample-rate"));
  EXPECT_EQ(info.at("channels"), meta("channels"));
  EXPECT_EQ(info.at("valid_bits"), meta("bps"));
  EXPECT_EQ(info.at("format_tag"), "65534");
  EXPECT_EQ(info.at("block_align"), "18");
  EXPECT_EQ(info.at("channel_mask"), "0x3f");
}

INSTANTIATE_TEST_SUITE_P(Tools, ForeignSourceTest, ::testing::ValuesIn(ForeignSources()),
                         [](const auto& param) {
                           std::string name = param.param.name;
                           for (char& ch : name) {
                             if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
                           }
                           return name;
                         });

}  // namespace
}  // namespace snipora
