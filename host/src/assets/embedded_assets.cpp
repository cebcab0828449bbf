#include "assets/asset_resolver.hpp"

namespace launcher::assets {

// Lives beside the generated table, in the library that carries it, so a static link always
// finds the table the resolver reads.
std::expected<Asset, std::string> resolve_asset(std::string_view request_path) {
    return resolve_asset(embedded_asset_table(), request_path);
}

}  // namespace launcher::assets
