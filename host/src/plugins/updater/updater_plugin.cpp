#include "plugins/updater/updater_plugin.hpp"

#include <memory>

#include "core/app.hpp"
#include "lib/http/url.hpp"
#include "lib/minisign/minisign.hpp"
#include "plugins/updater/check.hpp"
#include "plugins/updater/download.hpp"
#include "plugins/updater/header_args.hpp"
#include "plugins/updater/update_records.hpp"

namespace launcher::plugins::updater {

namespace {

using core::CommandResult;
using core::Invocation;
using HeaderPairs = std::vector<std::pair<std::string, std::string>>;

UpdaterState& state_of(const Invocation& invocation) {
    auto* state = invocation.app().state().find<UpdaterState>();
    if (!state) core::fatal("UpdaterState is not managed");
    return *state;
}

std::optional<std::chrono::milliseconds> as_duration(const std::optional<std::uint64_t>& ms) {
    if (!ms) return std::nullopt;
    return std::chrono::milliseconds(static_cast<std::chrono::milliseconds::rep>(
        std::min<std::uint64_t>(*ms, static_cast<std::uint64_t>(std::chrono::milliseconds::max().count()))));
}

Json check_result(std::uint32_t rid, const UpdateRecord& record, const std::optional<std::string>& date) {
    return Json{{"rid", rid},
                {"currentVersion", record.current_version},
                {"version", record.version},
                {"date", date ? Json(*date) : Json(nullptr)},
                {"body", record.body ? Json(*record.body) : Json(nullptr)},
                {"rawJson", record.raw_json}};
}

CommandResult check(Invocation& invocation) {
    auto args = invocation.decode<std::optional<HeaderPairs>, std::optional<std::uint64_t>, std::optional<std::string>,
                                  std::optional<std::string>, std::optional<bool>>("headers", "timeout", "proxy",
                                                                                   "target", "allowDowngrades");
    if (!args) return std::unexpected(args.error());
    auto& [headers, timeout, proxy, target, allow_downgrades] = *args;

    auto built = build_headers(headers.value_or(HeaderPairs{}), SameName::replace);
    if (!built) return std::unexpected(built.error());
    if (proxy) {
        if (auto url = lib::http::parse_url(*proxy); !url) return std::unexpected(url.error());
    }

    const auto& state = state_of(invocation);
    const auto& app = invocation.app();
    CheckRequest request{
        state.config.endpoints,          app.info().version, state.bundle, *built, as_duration(timeout), proxy, target,
        allow_downgrades.value_or(false)};
    auto offer = check_for_update(state.http, request);
    if (!offer) return std::unexpected(offer.error());
    if (!*offer) return Json(nullptr);

    auto& found = **offer;
    std::optional<std::string> date;
    if (found.manifest.pub_date) {
        auto text = lib::time::format_rfc3339(*found.manifest.pub_date);
        if (!text) return std::unexpected("Failed to format date");
        date = *text;
    }
    auto record = std::make_shared<UpdateRecord>();
    record->current_version = request.current_version;
    record->version = found.manifest.version.to_string();
    record->body = found.manifest.notes;
    record->raw_json = std::move(found.raw_json);
    record->download_url = found.package.url;
    record->signature = found.package.signature;
    record->headers = std::move(request.headers);
    record->proxy = request.proxy;
    record->product_name = app.info().name;
    record->installer_args = state.config.windows.installer_args;
    record->relaunch_args = app.relaunch_args();
    auto rid = invocation.webview_resources().add(record);
    return check_result(rid, *record, date);
}

struct VerifiedDownload {
    std::shared_ptr<UpdateRecord> record;
    PackageBytes bytes;
};

// The shared first half of `download` and `download_and_install`.
std::expected<VerifiedDownload, std::string> download_verified(Invocation& invocation) {
    auto args =
        invocation.decode<std::uint32_t, core::Channel, std::optional<HeaderPairs>, std::optional<std::uint64_t>>(
            "rid", "onEvent", "headers", "timeout");
    if (!args) return std::unexpected(args.error());
    const auto& [rid, channel, headers, timeout] = *args;

    auto record = invocation.webview_resources().get<UpdateRecord>(rid);
    if (!record) return std::unexpected(record.error());
    auto request_headers_list = (*record)->headers;
    if (headers) {
        auto built = build_headers(*headers, SameName::keep_all);
        if (!built) return std::unexpected(built.error());
        request_headers_list = std::move(*built);
    }
    auto limit = timeout ? as_duration(timeout) : (*record)->timeout;

    const auto& state = state_of(invocation);
    lib::http::GetRequest request{(*record)->download_url,
                                  request_headers(request_headers_list, "application/octet-stream"), limit,
                                  (*record)->proxy, state.max_package_bytes};
    // A prehashed signature's digest is taken while the bytes arrive, not in a second pass.
    lib::minisign::UpdateSignatureCheck signature(state.config.pubkey, (*record)->signature);
    auto bytes = download_package(
        state.http, request, [&](const Json& event) { channel.send(event); },
        [&](std::span<const std::uint8_t> chunk) { signature.feed(chunk); });
    if (!bytes) return std::unexpected(bytes.error());
    if (auto verified = signature.finish(bytes->span()); !verified) {
        return std::unexpected(verified.error());
    }
    return VerifiedDownload{std::move(*record), std::move(*bytes)};
}

// Hands the package to the installer; on success the launcher has ended (a test's host returns).
CommandResult install_package(Invocation& invocation, const UpdateRecord& record, std::span<const std::uint8_t> bytes) {
    const auto& state = state_of(invocation);
    auto host = state.hand_off_host(invocation.app());
    host.product_name = record.product_name;
    host.relaunch_args = record.relaunch_args;
    auto settings = state.config.windows;
    settings.installer_args = record.installer_args;
    if (auto handed = installer::hand_off(bytes, record.version, settings, host); !handed) {
        return std::unexpected(handed.error());
    }
    return Json(nullptr);
}

CommandResult download(Invocation& invocation) {
    auto downloaded = download_verified(invocation);
    if (!downloaded) return std::unexpected(downloaded.error());
    return invocation.webview_resources().add(std::make_shared<DownloadedPackage>(std::move(downloaded->bytes)));
}

CommandResult install(Invocation& invocation) {
    auto rids = invocation.decode<std::uint32_t, std::uint32_t>("updateRid", "bytesRid");
    if (!rids) return std::unexpected(rids.error());
    auto [update_rid, bytes_rid] = *rids;
    auto& table = invocation.webview_resources();
    auto record = table.get<UpdateRecord>(update_rid);
    if (!record) return std::unexpected(record.error());
    auto package = table.get<DownloadedPackage>(bytes_rid);
    if (!package) return std::unexpected(package.error());
    auto installed = install_package(invocation, **record, (*package)->bytes.span());
    // A failed installation leaves the package for another try; a successful one has already
    // released every resource in the pre-exit clean-up.
    if (installed) (void)table.take<DownloadedPackage>(bytes_rid);
    return installed;
}

CommandResult download_and_install(Invocation& invocation) {
    auto downloaded = download_verified(invocation);
    if (!downloaded) return std::unexpected(downloaded.error());
    return install_package(invocation, *downloaded->record, downloaded->bytes.span());
}

}  // namespace

void register_updater_plugin(core::App& app, UpdaterState state) {
    if (!state.hand_off_host) core::fatal("the updater was registered without the installer hand-off");
    state.http.accept_invalid_certs = state.config.dangerous_accept_invalid_certs;
    state.http.accept_invalid_hostnames = state.config.dangerous_accept_invalid_hostnames;
    app.state().manage<UpdaterState>(std::move(state));
    // The commands that wait on a server, for as long as it takes to answer, take no worker.
    app.router()
        .plugin("updater")
        .add("check", core::RunOn::own_thread, &check)
        .add("download", core::RunOn::own_thread, &download)
        .add("install", core::RunOn::worker, &install)
        .add("download_and_install", core::RunOn::own_thread, &download_and_install);
}

}  // namespace launcher::plugins::updater
