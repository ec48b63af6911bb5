// Reading a whole file, and replacing one safely: the new bytes are
// written beside it and renamed into its place, so that a write that
// fails (a full disk, a file too large, a model refused half way) leaves
// the old file whole.
#pragma once

#include <string>
#include <vector>

namespace docfile::fileio {

// Throws docfile::Error ("无法打开文件：…", "无法读取文件：…").
std::vector<unsigned char> readWhole(const std::string& path);

// Throws docfile::Error ("无法创建文件：…", "无法写入文件：…"). A file
// already there keeps its permissions.
void replace(const std::string& path, const std::vector<unsigned char>& bytes);

} // namespace docfile::fileio
