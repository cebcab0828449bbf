#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace launcher::plugins::updater {

// How this build was packaged, read from the marker the packaging step writes into the executable.
enum class BundleType { nsis, msi, unknown };

// The marker this executable carries: "__TAURI_BUNDLE_TYPE_VAR_NSS" for an NSIS build. The bytes
// live in the binary so a packaging step may rewrite them ("..._MSI") without a rebuild.
std::string compiled_bundle_marker();

BundleType bundle_type_from_marker(std::string_view marker);

// The `{{bundle_type}}` URL variable: "nsis", "msi" or "unknown".
std::string_view installer_name(BundleType type);

// The `platforms` keys tried for this build, installer-specific first.
std::vector<std::string> platform_keys(BundleType type);

}  // namespace launcher::plugins::updater
