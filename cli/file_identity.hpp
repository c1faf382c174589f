#pragma once
// Files known by what they are rather than by how they are named, so that a
// hard link, a symbolic link or another spelling of a source is still the
// source.
#include <string>

namespace cli {

// A key that two paths share exactly when they name one file: the device and
// inode of a file that exists, else the absolute path with its symbolic links
// resolved (as far as they lead). "-" stays "-".
std::string FileKey(const std::string& path);

}  // namespace cli
