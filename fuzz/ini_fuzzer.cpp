// Feeds arbitrary bytes to the INI reader, as text under both encodings and
// once as a file, and checks that whatever tree it builds is saved as text
// that reads back to the same tree, and that the file and the text agree.
#include <cstring>

#include "foundation/ini.h"
#include "foundation/text_encoding.h"
#include "fuzz/fuzz_support.h"

namespace {

using snipora::CStr_base;
using snipora::IniEx;
using snipora::TextEncoding;
using snipora::fuzz::Require;

bool SameText(const CStr_base<64>& a, const CStr_base<64>& b) {
  return a.Length() == b.Length() && std::memcmp(a.Buffer(), b.Buffer(), a.Length()) == 0;
}

// Loads the text, saves the tree, and checks that the saved text is stable.
void CheckRoundTrip(const uint8_t* data, size_t size, CStr_base<64>& saved) {
  IniEx ini;
  ini.LoadText(reinterpret_cast<const char*>(data), size);
  ini.SaveText(saved);
  IniEx reloaded;
  Require(reloaded.LoadText(saved.Buffer(), saved.Length()), "saved text does not load");
  CStr_base<64> resaved;
  reloaded.SaveText(resaved);
  Require(SameText(saved, resaved), "saved text does not read back to the same tree");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CStr_base<64> saved;
  snipora::SetTextEncoding(TextEncoding::CodePage932);
  CheckRoundTrip(data, size, saved);
  snipora::SetTextEncoding(TextEncoding::Utf8);
  CheckRoundTrip(data, size, saved);

  const std::string& path = snipora::fuzz::ScratchPath(".ini");
  snipora::fuzz::WriteScratchFile(path, data, size);
  IniEx fromFile;
  fromFile.Load(path.c_str(), true);
  CStr_base<64> savedFromFile;
  fromFile.SaveText(savedFromFile);
  Require(SameText(saved, savedFromFile), "the file and its text load differently");
  return 0;
}
