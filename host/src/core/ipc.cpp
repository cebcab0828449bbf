#include "core/ipc.hpp"

#include <sodium.h>

#include "core/fatal.hpp"
#include "core/peer_json.hpp"
#include "page/scripts.hpp"

namespace launcher::core {

namespace {

std::string random_token() {
    if (sodium_init() < 0) fatal("libsodium failed to initialise");
    unsigned char bytes[24];
    randombytes_buf(bytes, sizeof bytes);
    char hex[sizeof bytes * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, bytes, sizeof bytes);
    return hex;
}

}  // namespace

PageReply encode_reply(const CommandResult& result) {
    if (result) return {true, to_compact(*result)};
    return {false, to_compact(Json(result.error()))};
}

PageBridge::PageBridge(std::string label, std::string_view app_origin)
    : label_(std::move(label)), app_origin_(app_origin), token_(random_token()) {}

std::string PageBridge::script() const {
    Json metadata = {{"currentWindow", {{"label", label_}}}, {"currentWebview", {{"label", label_}}}};
    std::string script(page::bridge);
    auto replace = [&script](std::string_view placeholder, const std::string& value) {
        script.replace(script.find(placeholder), placeholder.size(), value);
    };
    replace("__LAUNCHER_METADATA__", to_compact(metadata));
    replace("__LAUNCHER_TOKEN__", Json(token_).dump());
    return script;
}

bool PageBridge::is_app_page(std::string_view uri) const {
    return uri.starts_with(app_origin_) && (uri.size() == app_origin_.size() || uri[app_origin_.size()] == '/');
}

std::expected<Request, std::string> PageBridge::decode(std::string_view message, std::string_view page_uri) const {
    auto malformed = [] { return std::unexpected(std::string(malformed_message)); };
    auto envelope = parse_peer_json(message);
    if (!envelope) return malformed();
    auto cmd = envelope->find("cmd");  // end() for anything but an object
    if (cmd == envelope->end() || !cmd->is_string()) return malformed();
    // The envelope is not needed after this, so its parts move into the request.
    Request request;
    request.key = std::move(cmd->get_ref<std::string&>());
    if (auto args = envelope->find("args"); args != envelope->end() && args->is_object()) {
        request.args = std::move(*args);
    }
    // Only the bridge of the top frame knows the token; other frames that post directly are
    // treated as foreign pages.
    auto token = envelope->find("token");
    bool from_bridge = token != envelope->end() && token->is_string() && token->get_ref<const std::string&>() == token_;
    request.caller = {label_, label_, from_bridge && is_app_page(page_uri)};
    return request;
}

}  // namespace launcher::core
