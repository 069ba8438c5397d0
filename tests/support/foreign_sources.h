#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

// WAVE files written at run time by tools nobody here wrote (sox and ffmpeg), in
// the layouts users record: extensible 24/32-bit, float, 5.1 and 7.1.
namespace snipora::test {

struct ForeignSource {
  const char* name;
  const char* tool;     // the program that writes it
  const char* options;  // shell text between the tool's input and the output path
  uint16_t formatTag;   // as the file states it
  uint32_t channelMask;
};

inline const std::vector<ForeignSource>& ForeignSources() {
  static const std::vector<ForeignSource> sources = {
      {"sox-24", "sox", "-r 48000 -c 2 -b 24", 0xFFFE, 0x3},
      {"sox-32", "sox", "-r 48000 -c 2 -b 32", 0xFFFE, 0x3},
      {"sox-float32", "sox", "-r 44100 -c 2 -e floating-point -b 32", 3, 0},
      {"sox-float64", "sox", "-r 44100 -c 2 -e floating-point -b 64", 3, 0},
      {"sox-6ch", "sox", "-r 48000 -c 6 -b 16", 0xFFFE, 0x3F},
      {"ffmpeg-s24", "ffmpeg", "-ac 2 -c:a pcm_s24le", 0xFFFE, 0x3},
      {"ffmpeg-s32", "ffmpeg", "-ac 2 -c:a pcm_s32le", 0xFFFE, 0x3},
      {"ffmpeg-f32", "ffmpeg", "-ac 2 -c:a pcm_f32le", 0xFFFE, 0x3},
      {"ffmpeg-5.1", "ffmpeg", "-af 'pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0' -c:a pcm_s16le",
       0xFFFE, 0x3F},
      {"ffmpeg-rf64", "ffmpeg", "-ac 2 -c:a pcm_s24le -rf64 always", 0xFFFE, 0x3},
      {"ffmpeg-7.1", "ffmpeg",
       "-af 'pan=7.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0|c6=c0|c7=c0' -c:a pcm_s24le", 0xFFFE,
       0x63F},
  };
  return sources;
}

// Writes 0.3 s of noise as `source` to path; false (with the reason in `why`) when the
// tool is missing or fails.
inline bool MakeForeignSource(const ForeignSource& source, const std::string& path,
                              std::string& why) {
  if (!HaveProgram(source.tool)) {
    why = std::string(source.tool) + " is not installed";
    return false;
  }
  const std::string command =
      std::string(source.tool) == "sox"
          ? "sox -V1 -n " + std::string(source.options) + " " + ShellQuote(path) +
                " synth 0.3 whitenoise vol 0.5"
          : std::string("ffmpeg -v error -y -f lavfi -i anoisesrc=d=0.3:r=48000:a=0.5 ") +
                source.options + " " + ShellQuote(path);
  const CommandResult result = RunCommand(command);
  why = result.output;
  return result.exitCode == 0;
}

}  // namespace snipora::test
