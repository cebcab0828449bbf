#include "plugins/updater/bundle_type.hpp"

namespace launcher::plugins::updater {

namespace {

// Read through a volatile so the compiler keeps the bytes in the binary and never folds the
// comparison away: a packaging step may have rewritten them.
volatile const char bundle_marker[] = "__TAURI_BUNDLE_TYPE_VAR_NSS";

constexpr std::string_view marker_stem = "__TAURI_BUNDLE_TYPE_VAR_";
constexpr std::string_view generic_key = "windows-x86_64";

}  // namespace

std::string compiled_bundle_marker() {
    std::string marker;
    for (std::size_t i = 0; i + 1 < sizeof bundle_marker; ++i) marker += bundle_marker[i];
    return marker;
}

BundleType bundle_type_from_marker(std::string_view marker) {
    if (marker.starts_with(marker_stem)) {
        auto kind = marker.substr(marker_stem.size());
        if (kind == "NSS") return BundleType::nsis;
        if (kind == "MSI") return BundleType::msi;
    }
    return BundleType::unknown;
}

std::string_view installer_name(BundleType type) {
    switch (type) {
    case BundleType::nsis:
        return "nsis";
    case BundleType::msi:
        return "msi";
    case BundleType::unknown:
        break;
    }
    return "unknown";
}

std::vector<std::string> platform_keys(BundleType type) {
    if (type == BundleType::unknown) return {std::string(generic_key)};
    return {std::string(generic_key) + "-" + std::string(installer_name(type)), std::string(generic_key)};
}

}  // namespace launcher::plugins::updater
