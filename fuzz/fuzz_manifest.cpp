// The update manifest as an endpoint could serve it: any bytes are parsed as the check parses
// them and read as a manifest; a manifest that reads must yield everything the check answers with
// (a package choice or its message, the date written back, the version's canonical text) without
// failing otherwise.

#include <cstdint>
#include <string>

#include "core/json.hpp"
#include "core/peer_json.hpp"
#include "fuzz_check.hpp"
#include "plugins/updater/release_manifest.hpp"

using launcher::Json;
using launcher::fuzz::require;
using namespace launcher::plugins::updater;
using namespace launcher::lib::semver;
using namespace launcher::lib::time;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto parsed = launcher::core::parse_peer_json(launcher::fuzz::as_text(data, size));
    if (!parsed) return 0;
    const Json& raw = *parsed;
    auto manifest = read_release_manifest(raw);
    if (!manifest) {
        require(!manifest.error().empty(), "a refused manifest has a message");
        return 0;
    }
    auto version = manifest->version.to_string();
    require(parse_semver(version).has_value(), "the announced version's text parses", version);
    if (manifest->pub_date) {
        require(format_rfc3339(*manifest->pub_date).has_value(), "a read pub_date can be written back");
    }
    static const std::vector<std::string> fallback = {"windows-x86_64-nsis", "windows-x86_64"};
    auto chosen = choose_package(*manifest, std::nullopt, fallback);
    if (!manifest->platforms) require(chosen.has_value(), "a single-package manifest always has its package");
    if (chosen) require(!chosen->url.empty(), "a chosen package has a URL");
    auto targeted = choose_package(*manifest, std::string("windows"), fallback);
    if (!targeted) require(targeted.error().starts_with("the platform `windows` was not found"), "target message");
    auto current = parse_semver("0.1.36");
    (void)is_offered(*current, manifest->version, false);
    require(is_offered(*current, manifest->version, true) == (manifest->version != *current),
            "with downgrades allowed, any other version is offered");
    (void)launcher::to_compact(raw);
    return 0;
}
