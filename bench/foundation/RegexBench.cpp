#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "foundation/regex.h"

// Throughput of Regex on settings-file lines with the two patterns the INI
// reader uses: every line is tried as a section line, then as a key line.
namespace snipora {
namespace {

const char kSectionPattern[] = "%/0w[%{%+j%e]%}";
const char kKeyPattern[] = "%/0w%{%+j%e=%}%{%+0j%P\n%}";

std::vector<std::string> SettingsLines() {
  const std::vector<std::string> lines = {
      "[VolumeSetting]",
      "CDS_AUTOVOLUME=1",
      "CDS_VOLUME=10000",
      "AutoVolumeLevel=2",
      "  LastFolder=/home/user/music/\xe3\x81\x82\xe3\x81\x84/album",
      "[EndSection]",
      "",
      "\t[Window Placement]",
      "Left=120",
      "Top=80",
      "RecentFile=/home/user/music/a long name with spaces.wav",
      "[EndSection]",
  };
  return lines;
}

void RunPatterns(benchmark::State& state, bool section, bool key) {
  const std::vector<std::string> lines = SettingsLines();
  size_t bytes = 0;
  for (const std::string& line : lines) bytes += line.size();
  CStrArray captures;
  int matches = 0;
  for (auto _ : state) {
    for (const std::string& line : lines) {
      CStr subject(line.c_str());
      if (section) {
        const int found =
            subject.Regex(kSectionPattern, "s", &captures, nullptr, nullptr, 0, nullptr, nullptr);
        matches += found;
        if (found > 0) continue;
      }
      if (key) {
        matches +=
            subject.Regex(kKeyPattern, "s", &captures, nullptr, nullptr, 0, nullptr, nullptr);
      }
    }
    benchmark::DoNotOptimize(matches);
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

void BM_SectionPattern(benchmark::State& state) {
  RunPatterns(state, true, false);
}
void BM_KeyPattern(benchmark::State& state) {
  RunPatterns(state, false, true);
}
void BM_IniLines(benchmark::State& state) {
  RunPatterns(state, true, true);
}

BENCHMARK(BM_SectionPattern);
BENCHMARK(BM_KeyPattern);
BENCHMARK(BM_IniLines);

}  // namespace
}  // namespace snipora
