#include "plugins/path/path_functions.hpp"

#include <filesystem>

namespace launcher::plugins::path {

namespace {

namespace fs = std::filesystem;

// The path with trailing separators removed, so its last component is a name.
fs::path without_trailing_separators(const std::string& text) {
    fs::path path(text);
    while (!path.empty() && !path.has_filename() && path.has_relative_path()) path = path.parent_path();
    return path;
}

}  // namespace

std::expected<std::string, std::string> basename(const std::string& text, const std::optional<std::string>& ext) {
    auto name = without_trailing_separators(text).filename().string();
    if (name.empty() || name == "..") return std::unexpected(std::string("path does not have a basename"));
    if (ext && !ext->empty() && name.size() > ext->size() && name.ends_with(*ext)) {
        name.resize(name.size() - ext->size());
    }
    return name;
}

std::expected<std::string, std::string> dirname(const std::string& text) {
    auto path = without_trailing_separators(text);
    if (!path.has_relative_path()) return std::unexpected(std::string("path does not have a parent"));
    return path.parent_path().string();
}

std::expected<std::string, std::string> extname(const std::string& text) {
    auto extension = without_trailing_separators(text).extension().string();
    if (extension.size() < 2) return std::unexpected(std::string("path does not have an extension"));
    return extension.substr(1);
}

bool is_absolute(const std::string& text) { return fs::path(text).is_absolute(); }

std::string join(const std::vector<std::string>& parts) {
    fs::path joined;
    for (const auto& part : parts) joined /= part;
    return joined.string();
}

std::string normalize(const std::string& text) {
    auto normal = fs::path(text).lexically_normal();
    if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
    if (normal.empty()) return ".";
    return normal.string();
}

}  // namespace launcher::plugins::path
