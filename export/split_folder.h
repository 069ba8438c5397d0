#pragma once

#include <string>

namespace snipora {

// The folder a split export puts its pieces into, for the main window and the
// command line alike. A folder made here that is still empty when this object
// ends is removed again, so a cancelled or failed split leaves no empty folder
// behind; one holding finished pieces stays.
class CSplitFolder {
 public:
  explicit CSplitFolder(std::string path);
  CSplitFolder(const CSplitFolder&) = delete;
  CSplitFolder& operator=(const CSplitFolder&) = delete;
  ~CSplitFolder();

  // Makes the folder and makes its entry durable in the parent folder.
  // 0, or the errno value (EEXIST when something of that name exists).
  int Make();

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  bool made_ = false;
};

}  // namespace snipora
