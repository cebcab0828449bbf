#include "updater_test_support.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "lib/encoding/base64.hpp"

extern char** environ;

namespace launcher::testing {

namespace {

const std::string fixture_script = std::string(LAUNCHER_TEST_FIXTURES) + "/updater/loopback.py";

std::string shell_quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

}  // namespace

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "updater-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& content) const {
    auto path = file(name);
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool run_command(const std::string& command) {
    int status = std::system(("(" + command + ") >/dev/null 2>&1").c_str());
    EXPECT_EQ(status, 0) << command;
    return status == 0;
}

std::vector<Json> read_json_lines(const std::string& path) {
    std::vector<Json> lines;
    std::istringstream in(read_text(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty()) lines.push_back(Json::parse(line));
    }
    return lines;
}

LoopbackProcess::LoopbackProcess(const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<std::string> argv_text = {"python3", fixture_script};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_text) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&pid_, "python3", &actions, nullptr, argv.data(), environ) != 0) std::abort();
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // The first line is the port; the script prints it once it listens.
    std::string line;
    char c;
    while (read(out[0], &c, 1) == 1 && c != '\n') line += c;
    close(out[0]);
    port_ = std::atoi(line.c_str());
    if (port_ == 0) ADD_FAILURE() << "the loopback server did not start: " << shell_quoted(line);
}

LoopbackProcess::~LoopbackProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

HttpsServer::HttpsServer(const std::string& names) {
    // A CA and a certificate for `names` signed by it, made for this run.
    auto d = shell_quoted(dir_.path());
    dir_.write("server.ext", "subjectAltName=" + names + "\nbasicConstraints=CA:FALSE\n");
    run_command("cd " + d +
                " && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key"
                " -out ca.pem -days 2 -subj '/CN=Updater Test CA'"
                " && openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key"
                " -out server.csr -subj '/CN=127.0.0.1'"
                " && openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem"
                " -days 2 -extfile server.ext");
    ca_file_ = dir_.file("ca.pem");
    dir_.write("routes.json", "{}");
    dir_.write("requests.log", "");
    process_ = std::make_unique<LoopbackProcess>(
        std::vector<std::string>{"https", "--routes", dir_.file("routes.json"), "--log", dir_.file("requests.log"),
                                 "--cert", dir_.file("server.pem"), "--key", dir_.file("server.key")});
}

void HttpsServer::route(const std::string& path, const Json& answer) {
    routes_[path] = answer;
    // Written whole and renamed into place, so the server never reads a half-written file.
    dir_.write("routes.json.new", routes_.dump());
    std::filesystem::rename(dir_.file("routes.json.new"), dir_.file("routes.json"));
}

std::string HttpsServer::url(const std::string& path) const {
    return "https://127.0.0.1:" + std::to_string(process_->port()) + path;
}

std::vector<Json> HttpsServer::requests() const { return read_json_lines(dir_.file("requests.log")); }

ProxyServer::ProxyServer() {
    dir_.write("requests.log", "");
    process_ = std::make_unique<LoopbackProcess>(std::vector<std::string>{"proxy", "--log", dir_.file("requests.log")});
}

std::string ProxyServer::url() const { return "http://127.0.0.1:" + std::to_string(process_->port()); }

std::vector<Json> ProxyServer::requests() const { return read_json_lines(dir_.file("requests.log")); }

MinisignKey::MinisignKey() {
    secret_file_ = dir_.file("key.sec");
    run_command("minisign -G -W -p " + shell_quoted(dir_.file("key.pub")) + " -s " + shell_quoted(secret_file_));
    public_key_ = lib::encoding::encode_base64(read_text(dir_.file("key.pub")));
}

std::string MinisignKey::sign(const std::string& file, bool prehashed, const std::string& trusted_comment) const {
    auto signature = dir_.file("last.sig");
    std::string command = "minisign -S " + std::string(prehashed ? "" : "-l ") + "-s " + shell_quoted(secret_file_) +
                          " -m " + shell_quoted(file) + " -x " + shell_quoted(signature);
    if (!trusted_comment.empty()) command += " -t " + shell_quoted(trusted_comment);
    run_command(command);
    return lib::encoding::encode_base64(read_text(signature));
}

}  // namespace launcher::testing
