#pragma once

#include <expected>
#include <optional>
#include <string>
#include <vector>

namespace launcher::plugins::path {

// Text operations on paths under the host platform's rules; none touches the file system.
// Trailing separators are ignored, so "a/b/" names "b" in "a".

// The last component, without `ext` when it ends with it (and is longer); fails for a root, an
// empty path or a last component "..".
std::expected<std::string, std::string> basename(const std::string& path, const std::optional<std::string>& ext);
// The path without its last component; fails when nothing would remain.
std::expected<std::string, std::string> dirname(const std::string& path);
// The last component's extension without its dot ("gz" of "a.tar.gz"); fails when it has none
// (".bashrc" has none).
std::expected<std::string, std::string> extname(const std::string& path);
bool is_absolute(const std::string& path);
// The parts joined with the platform separator; an absolute part restarts the path.
std::string join(const std::vector<std::string>& parts);
// "." and ".." resolved lexically, repeated separators folded, no trailing separator (but a
// root's); "." for a path that becomes empty.
std::string normalize(const std::string& path);

}  // namespace launcher::plugins::path
