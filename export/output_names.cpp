#include "export/output_names.h"

#include "foundation/str.h"

namespace snipora {

std::string SplitFolderPath(const std::string& fullPath) {
  CStr_base<64> path;
  path.Reserve(static_cast<uint32_t>(fullPath.size()) + 2);
  path.Assign(fullPath.c_str());
  // Everything before the last '.' of the whole path, without a leading quote.
  if (path.Regex("%0,1z\"%{%*j%e.%}%+0j%$", "s", nullptr, "%0v", nullptr, 0, nullptr, nullptr) ==
      0) {
    // No '.': only a path ending in a quote changes, to the text between the quotes.
    path.Regex("%0,1z\"%{%*(%!z\"%j%)%}%+0\"%$", "s", nullptr, "%0v", nullptr, 0, nullptr, nullptr);
  }
  return path.Buffer();
}

std::string PieceFileName(uint32_t index) {
  CStr_base<64> name;
  name.Format("%02u.wav", index + 1);
  return name.Buffer();
}

std::string PathInFolder(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

}  // namespace snipora
