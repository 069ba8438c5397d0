#pragma once

#include <string>
#include <vector>

namespace snipora {

// The folder a split export puts its pieces into, for the main window and the
// command line alike. Folders made here that are still empty when this object
// ends are removed again, so a cancelled or failed split leaves no empty
// folder behind; one holding finished pieces stays.
class CSplitFolder {
 public:
  explicit CSplitFolder(std::string path);
  CSplitFolder(const CSplitFolder&) = delete;
  CSplitFolder& operator=(const CSplitFolder&) = delete;
  ~CSplitFolder();

  // Makes the folder, and the folders missing on the way to it, and makes
  // each new entry durable in its parent. 0, or the errno value (EEXIST when
  // something of that name exists).
  int Make();

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> made_;  // outermost first
};

}  // namespace snipora
