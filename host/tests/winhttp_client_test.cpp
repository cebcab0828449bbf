// The WinHTTP client and the update check and download on it, under wine, against the loopback
// HTTPS servers that host/tests/fixtures/updater/with-https-server starts on the Linux side: one
// whose CA this program adds to CurrentUser\Root, and a stranger whose CA it never sees.
//
// Wine's certificate chains see only the root certificates there were when the process first
// opened the store, so the CA is added, and taken out at the end, by a child run of this program
// (`--trust FILE`, `--distrust FILE`) before any certificate is checked here.

#include <windows.h>
#include <wincrypt.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "lib/http/http_client.hpp"
#include "plugins/updater/check.hpp"
#include "plugins/updater/download.hpp"

namespace launcher {
namespace {

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_text(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The loopback server the runner started.
class LoopbackServer {
public:
    LoopbackServer(const char* port_variable, std::string dir) : port_(env(port_variable)), dir_(std::move(dir)) {}
    bool started() const { return !port_.empty() && !dir_.empty(); }
    std::string url(const std::string& path) const { return "https://127.0.0.1:" + port_ + path; }
    std::string file(const std::string& name) const { return dir_ + "\\" + name; }

    void route(const std::string& path, const Json& answer) {
        routes_[path] = answer;
        // Written whole and moved into place, so the server never reads a half-written file.
        write_text(file("routes.json.new"), routes_.dump());
        MoveFileExA(file("routes.json.new").c_str(), file("routes.json").c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    std::vector<Json> requests() const {
        std::vector<Json> lines;
        std::istringstream in(read_text(file("requests.log")));
        for (std::string line; std::getline(in, line);) {
            if (!line.empty()) lines.push_back(Json::parse(line));
        }
        return lines;
    }

private:
    std::string port_;
    std::string dir_;
    Json routes_ = Json::object();
};

// Adds the CA of a PEM file to the user's root store, or takes it out.
bool change_user_root(const std::string& pem_file, bool trust) {
    auto pem = read_text(pem_file);
    DWORD size = 0;
    if (!CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size,
                              nullptr, nullptr)) {
        return false;
    }
    std::vector<BYTE> der(size);
    CryptStringToBinaryA(pem.data(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(), &size,
                         nullptr, nullptr);
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root");
    if (!store) return false;
    PCCERT_CONTEXT cert = nullptr;
    bool done = CertAddEncodedCertificateToStore(store, X509_ASN_ENCODING, der.data(), size,
                                                 CERT_STORE_ADD_REPLACE_EXISTING, &cert) &&
                (trust || CertDeleteCertificateFromStore(cert));  // deleting frees the context
    if (trust && cert) CertFreeCertificateContext(cert);
    CertCloseStore(store, 0);
    return done;
}

// Runs this program again with one argument pair; true when it exits with 0.
bool run_self(const std::wstring& arguments) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code == 0;
}

std::wstring server_ca_argument() {
    std::string file = env("LAUNCHER_TEST_HTTPS_DIR") + "\\ca.pem";
    return L"\"" + std::wstring(file.begin(), file.end()) + L"\"";
}

// The trusted server's CA in the user's root store for the whole run.
class TrustedCaEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        ASSERT_FALSE(env("LAUNCHER_TEST_HTTPS_DIR").empty()) << "run through with-https-server";
        ASSERT_TRUE(run_self(L"--trust " + server_ca_argument()));
    }
    void TearDown() override { EXPECT_TRUE(run_self(L"--distrust " + server_ca_argument())); }
};

std::string fetch(const lib::http::ClientSettings& settings, const std::string& url,
                  std::optional<std::uint64_t> max_body = std::nullopt) {
    std::string body;
    lib::http::BodyReader reader{[](const lib::http::ResponseHead&) { return true; },
                                 [&](std::string_view chunk) { body.append(chunk); }};
    lib::http::GetRequest request{url, {{"Accept", "*/*"}}, std::chrono::seconds(10), std::nullopt, max_body};
    auto head = lib::http::get(settings, request, reader);
    return head ? head->status_text + ": " + body : head.error().message;
}

plugins::updater::CheckRequest check_of(const std::string& endpoint) {
    plugins::updater::CheckRequest request;
    request.endpoints = {endpoint};
    request.current_version = "1.0.0";
    request.timeout = std::chrono::seconds(10);
    return request;
}

class WinHttpClient : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server.started() || !stranger.started()) GTEST_FAIL() << "run through with-https-server";
        server.route(
            "/latest.json",
            {{"body",
              Json{{"version", "2.0.0"}, {"url", server.url("/package.exe")}, {"signature", "c2lnbmF0dXJl"}}.dump()}});
    }

    LoopbackServer server{"LAUNCHER_TEST_HTTPS_PORT", env("LAUNCHER_TEST_HTTPS_DIR")};
    LoopbackServer stranger{"LAUNCHER_TEST_STRANGER_PORT", env("LAUNCHER_TEST_HTTPS_DIR") + "\\stranger"};
};

TEST_F(WinHttpClient, RefusesAServerFromAnUnknownCaBeforeSendingTheRequest) {
    stranger.route("/latest.json", {{"body", "{}"}});
    auto refused = plugins::updater::check_for_update({}, check_of(stranger.url("/latest.json")));
    ASSERT_FALSE(refused);
    EXPECT_TRUE(refused.error().starts_with("error sending request for url (" + stranger.url("/latest.json") + "): "))
        << refused.error();
    EXPECT_TRUE(stranger.requests().empty());
    // The same server is reached when told to accept any certificate.
    EXPECT_EQ(fetch({.accept_invalid_certs = true}, stranger.url("/latest.json")), "200 OK: {}");
    // And a connection kept from that answer is not taken for a request that checks certificates.
    EXPECT_TRUE(fetch({}, stranger.url("/latest.json")).starts_with("error sending request for url ("));
}

TEST_F(WinHttpClient, ChecksAndDownloadsFromATrustedServer) {
    auto offer = plugins::updater::check_for_update({}, check_of(server.url("/latest.json")));
    ASSERT_TRUE(offer) << offer.error();
    ASSERT_TRUE(*offer);
    EXPECT_EQ((*offer)->package.url, server.url("/package.exe"));
    auto sent = server.requests().back()["headers"];
    EXPECT_NE(std::find(sent.begin(), sent.end(), Json{"User-Agent", plugins::updater::updater_user_agent}), sent.end())
        << sent;
    EXPECT_NE(std::find(sent.begin(), sent.end(), Json{"Accept", "application/json"}), sent.end()) << sent;

    // A package larger than one read, so it arrives in several chunks.
    std::string package;
    for (int i = 0; package.size() < 600 * 1024; ++i) package += std::to_string(i * 7919) + ",";
    write_text(server.file("package.exe"), package);
    server.route("/package.exe", {{"body_file", env("LAUNCHER_TEST_HTTPS_UNIX_DIR") + "/package.exe"}});
    std::vector<Json> events;
    auto bytes = plugins::updater::download_package(
        {}, {server.url("/package.exe"), {}, std::chrono::seconds(30), std::nullopt, std::nullopt},
        [&](const Json& event) { events.push_back(event); });
    ASSERT_TRUE(bytes) << bytes.error();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes->data()), bytes->size()), package);
    ASSERT_GE(events.size(), 3u);
    EXPECT_EQ(events.front(), (Json{{"event", "Started"}, {"data", {{"contentLength", package.size()}}}}));
    std::uint64_t progressed = 0;
    for (const auto& event : events) {
        if (event["event"] == "Progress") progressed += event["data"]["chunkLength"].get<std::uint64_t>();
    }
    EXPECT_EQ(progressed, package.size());
    EXPECT_EQ(events.back(), (Json{{"event", "Finished"}}));

    server.route("/gone.exe", {{"status", 404}});
    auto missing = plugins::updater::download_package(
        {}, {server.url("/gone.exe"), {}, std::chrono::seconds(10), std::nullopt, std::nullopt}, [](const Json&) {});
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error(), "`Download request failed with status: 404 Not Found`");
}

TEST_F(WinHttpClient, AnswersAndBrokenTransfers) {
    server.route("/file", {{"body", "payload"}});
    server.route("/to-https", {{"status", 302}, {"headers", {{"Location", "/file"}}}});
    auto plain_http = "http://127.0.0.1:" + env("LAUNCHER_TEST_HTTPS_PORT") + "/file";
    server.route("/to-http", {{"status", 302}, {"headers", {{"Location", plain_http}}}});
    server.route("/loop", {{"status", 302}, {"headers", {{"Location", "/loop"}}}});
    server.route("/short", {{"body", "short"}, {"content_length", 100}});
    server.route("/stall", {{"body", "0123456789"}, {"stall_after", 3}, {"stall_seconds", 5}});
    server.route("/drip", {{"body", std::string(200, 'd')}, {"drip", 0.2}, {"drip_seconds", 5}});
    server.route("/slow-head", {{"body", "late"}, {"delay", 3}});

    const lib::http::ClientSettings plain{};
    const lib::http::ClientSettings quick_stall{.stall_limit = std::chrono::seconds(1)};
    const lib::http::ClientSettings low_speed{.low_speed_bytes_per_second = 100,
                                              .low_speed_window = std::chrono::seconds(1)};
    const auto sending = "error sending request for url (";
    struct Case {
        const char* what;
        const lib::http::ClientSettings& settings;
        std::string path;
        std::string expected;  // "^" matches the start
        std::optional<std::uint64_t> max_body = std::nullopt;
    };
    const Case cases[] = {
        {"missing route", plain, "/nothing", "404 Not Found: not here"},
        {"relative https redirect followed", plain, "/to-https", "200 OK: payload"},
        {"redirect to http refused", plain, "/to-http", "^" + std::string(sending) + server.url("/to-http") + "): "},
        {"redirect loop ends", plain, "/loop", sending + server.url("/loop") + "): Maximum (10) redirects followed"},
        {"server closes before the declared length", plain, "/short",
         "request or response body error: transfer closed with 95 bytes remaining to read"},
        {"body over the limit", plain, "/file",
         "request or response body error: the response body is larger than 4 bytes", 4},
        {"server stops sending", quick_stall, "/stall", "request or response body error: no data received for 1000 ms"},
        {"server sends too slowly", low_speed, "/drip",
         "request or response body error: less than 100 bytes per second for 1000 ms"},
        {"head later than the stall limit", quick_stall, "/slow-head",
         sending + server.url("/slow-head") + "): no data received for 1000 ms"},
        {"extra CA file", lib::http::ClientSettings{.extra_ca_file = "ca.pem"}, "/file", "^" + std::string(sending)},
    };
    for (const auto& c : cases) {
        auto got = fetch(c.settings, server.url(c.path), c.max_body);
        if (c.expected.starts_with("^")) {
            EXPECT_TRUE(got.starts_with(c.expected.substr(1))) << c.what << ": " << got;
        } else {
            EXPECT_EQ(got, c.expected) << c.what;
        }
    }

    lib::http::GetRequest timed{server.url("/slow-head"), {}, std::chrono::seconds(1), std::nullopt, std::nullopt};
    auto timed_out = lib::http::get(plain, timed, {});
    EXPECT_EQ(timed_out.error().message, sending + server.url("/slow-head") + "): operation timed out");
    EXPECT_EQ(lib::http::get(plain, {"file:///C:/windows/win.ini", {}, std::nullopt, std::nullopt, std::nullopt}, {})
                  .error()
                  .at,
              lib::http::FailedAt::sending);
}

}  // namespace
}  // namespace launcher

int main(int argc, char** argv) {
    if (argc == 3 && (std::string_view(argv[1]) == "--trust" || std::string_view(argv[1]) == "--distrust")) {
        return launcher::change_user_root(argv[2], std::string_view(argv[1]) == "--trust") ? 0 : 1;
    }
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new launcher::TrustedCaEnvironment);
    return RUN_ALL_TESTS();
}
