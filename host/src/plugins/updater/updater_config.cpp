#include "plugins/updater/updater_config.hpp"

#include "core/args.hpp"
#include "lib/http/url.hpp"

namespace launcher::plugins::updater {

namespace {

std::expected<bool, std::string> read_switch(const Json& entry, const std::string& camel, const std::string& kebab) {
    auto a = entry.find(camel);
    auto b = entry.find(kebab);
    if (a != entry.end() && b != entry.end()) return std::unexpected("duplicate field `" + camel + "`");
    auto it = a != entry.end() ? a : b;
    if (it == entry.end()) return false;
    if (!it->is_boolean()) return std::unexpected(core::invalid_type(*it, "a boolean"));
    return it->get<bool>();
}

std::expected<installer::InstallMode, std::string> read_install_mode(const Json& value) {
    if (!value.is_string()) return std::unexpected(core::invalid_type(value, "a string"));
    auto name = value.get<std::string>();
    if (name == "basicUi") return installer::InstallMode::basic_ui;
    if (name == "quiet") return installer::InstallMode::quiet;
    if (name == "passive") return installer::InstallMode::passive;
    return std::unexpected("unknown variant `" + name + "`, expected one of `basicUi`, `quiet`, `passive`");
}

std::expected<installer::WindowsSettings, std::string> read_windows(const Json& value) {
    installer::WindowsSettings settings;
    if (value.is_null()) return settings;
    if (!value.is_object()) return std::unexpected(core::invalid_type(value, "struct WindowsConfig"));
    if (auto mode = value.find("installMode"); mode != value.end()) {
        auto decoded = read_install_mode(*mode);
        if (!decoded) return std::unexpected(decoded.error());
        settings.install_mode = *decoded;
    }
    if (auto args = value.find("installerArgs"); args != value.end()) {
        auto decoded = core::ArgDecoder<std::vector<std::string>>::decode(*args);
        if (!decoded) return std::unexpected(decoded.error());
        settings.installer_args = std::move(*decoded);
    }
    return settings;
}

std::expected<UpdaterConfig, std::string> read_config(const Json& entry) {
    if (!entry.is_object()) return std::unexpected(core::invalid_type(entry, "struct Config"));
    UpdaterConfig config;
    if (auto endpoints = entry.find("endpoints"); endpoints != entry.end()) {
        auto texts = core::ArgDecoder<std::vector<std::string>>::decode(*endpoints);
        if (!texts) return std::unexpected(texts.error());
        for (const auto& text : *texts) {
            auto url = lib::http::parse_url(text);
            if (!url) return std::unexpected(url.error());
            config.endpoints.push_back(url->text);
        }
    }
    auto pubkey = entry.find("pubkey");
    if (pubkey == entry.end()) return std::unexpected("missing field `pubkey`");
    auto key = core::ArgDecoder<std::string>::decode(*pubkey);
    if (!key) return std::unexpected(key.error());
    config.pubkey = std::move(*key);
    if (auto windows = entry.find("windows"); windows != entry.end()) {
        auto settings = read_windows(*windows);
        if (!settings) return std::unexpected(settings.error());
        config.windows = std::move(*settings);
    }
    struct Switch {
        bool* target;
        const char* camel;
        const char* kebab;
    };
    for (auto [target, camel, kebab] : {
             Switch{&config.dangerous_insecure_transport_protocol, "dangerousInsecureTransportProtocol",
                    "dangerous-insecure-transport-protocol"},
             Switch{&config.dangerous_accept_invalid_certs, "dangerousAcceptInvalidCerts",
                    "dangerous-accept-invalid-certs"},
             Switch{&config.dangerous_accept_invalid_hostnames, "dangerousAcceptInvalidHostnames",
                    "dangerous-accept-invalid-hostnames"},
         }) {
        auto value = read_switch(entry, camel, kebab);
        if (!value) return std::unexpected(value.error());
        *target = *value;
    }
    if (!config.dangerous_insecure_transport_protocol) {
        for (const auto& endpoint : config.endpoints) {
            // The parser writes the scheme in lower case at the front of its normalised text.
            if (!endpoint.starts_with("https://")) {
                return std::unexpected("The configured updater endpoint must use a secure protocol like `https`.");
            }
        }
    }
    return config;
}

}  // namespace

std::expected<UpdaterConfig, std::string> parse_updater_config(const Json& entry) {
    auto config = read_config(entry);
    if (!config) {
        return std::unexpected("Error deserializing 'plugins.updater' within your Tauri configuration: " +
                               config.error());
    }
    return config;
}

}  // namespace launcher::plugins::updater
