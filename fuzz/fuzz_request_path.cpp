// Request paths of the application scheme: any path a page or a link can ask for is answered from
// the compiled table (the main page when nothing else matches) with a content type, and the typing
// of a body by its leading bytes accepts any bytes.

#include <cstdint>
#include <string>

#include "assets/asset_resolver.hpp"
#include "assets/content_type.hpp"
#include "assets/request_path.hpp"
#include "fuzz_check.hpp"

using launcher::fuzz::require;
using namespace launcher::assets;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto text = launcher::fuzz::as_text(data, size);
    // The path up to the first newline; what follows is a body to type.
    auto newline = text.find('\n');
    auto path = text.substr(0, newline);

    auto key = asset_key(decode_request_path(path));
    require(key.starts_with('/') && key.find("//") == std::string::npos, "a key is one rooted path", key);

    auto asset = resolve_asset(path);
    require(asset.has_value(), "every path is answered while the table holds /index.html", asset ? "" : asset.error());
    require(!asset->mime_type.empty() && !asset->body.empty(), "an answer has a type and a body");

    if (newline != std::string_view::npos) {
        auto body = text.substr(newline + 1);
        auto type = content_type(path, {reinterpret_cast<const std::uint8_t*>(body.data()), body.size()});
        require(!type.empty(), "every body gets a type");
    }
    return 0;
}
