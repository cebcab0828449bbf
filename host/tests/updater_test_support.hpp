#pragma once

// Real peers for the updater's tests: a loopback HTTPS server with a CA made for the run, a
// loopback forwarding proxy, and minisign keys generated per run.

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "core/json.hpp"

namespace launcher::testing {

// A fresh directory, removed with its contents at the end.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::string write(const std::string& name, const std::string& content) const;

private:
    std::string path_;
};

std::string read_text(const std::string& path);
// Runs a shell command; fails the test (and returns false) when it does not exit with 0.
bool run_command(const std::string& command);

// A helper process started from the fixture script; stopped when this goes away.
class LoopbackProcess {
public:
    explicit LoopbackProcess(const std::vector<std::string>& args);
    ~LoopbackProcess();
    LoopbackProcess(const LoopbackProcess&) = delete;
    LoopbackProcess& operator=(const LoopbackProcess&) = delete;
    int port() const { return port_; }

private:
    pid_t pid_ = -1;
    int port_ = 0;
};

// An HTTPS server on 127.0.0.1 whose certificate is signed by a CA made for this run.
class HttpsServer {
public:
    // `names` are the certificate's subject alternative names; a server whose certificate names
    // another host shows how a client treats a peer it reaches under the wrong name.
    explicit HttpsServer(const std::string& names = "IP:127.0.0.1,DNS:localhost");
    // How `path` answers: {"status", "body" | "body_file", "headers", "length": false (no
    // Content-Length, body ends with the connection), "stall_after": bytes, "delay": seconds,
    // "content_length": a lying length (the connection closes after the real body), "endless":
    // true (the body repeated until the client hangs up), "endless_headers": true, "drip": seconds
    // between the body's bytes, sent one at a time for at most "drip_seconds" (30), "chunked": true
    // (chunked transfer coding, beside a "content_length" if one is given)}.
    void route(const std::string& path, const Json& answer);
    std::string url(const std::string& path) const;
    // Every request received so far: {"path", "headers": [[name, value], ...]}.
    std::vector<Json> requests() const;
    const std::string& ca_file() const { return ca_file_; }
    const TempDir& dir() const { return dir_; }

private:
    TempDir dir_;
    std::string ca_file_;
    Json routes_ = Json::object();
    std::unique_ptr<LoopbackProcess> process_;
};

// A forwarding proxy on 127.0.0.1 that logs each request it forwards.
class ProxyServer {
public:
    ProxyServer();
    std::string url() const;
    std::vector<Json> requests() const;

private:
    TempDir dir_;
    std::unique_ptr<LoopbackProcess> process_;
};

// A minisign key pair made by Debian's minisign for this run.
class MinisignKey {
public:
    MinisignKey();
    // Base64 of the public-key file's text, as the updater configuration carries it.
    const std::string& public_key() const { return public_key_; }
    // Signs the file and answers the base64 of the .sig text, as a manifest carries it.
    std::string sign(const std::string& file, bool prehashed = true, const std::string& trusted_comment = "") const;
    const std::string& secret_key_file() const { return secret_file_; }

private:
    TempDir dir_;
    std::string secret_file_;
    std::string public_key_;
};

std::vector<Json> read_json_lines(const std::string& path);

}  // namespace launcher::testing
