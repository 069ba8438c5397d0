#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace snipora::bench {

// A large input of a benchmark: written once into the temporary folder by
// `write`, dropped from the page cache so that the first reader starts from
// the disk, and removed when the program ends.
class ScratchFile {
 public:
  ScratchFile(const std::string& name, const std::function<void(std::ofstream&)>& write)
      : path_((std::filesystem::temp_directory_path() / name).string()) {
    {
      std::ofstream out(path_, std::ios::binary | std::ios::trunc);
      write(out);
    }
    std::system(("dd if=" + path_ + " iflag=nocache count=0 status=none").c_str());
  }
  ~ScratchFile() { std::filesystem::remove(path_); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace snipora::bench
