// The update download: throughput of `download` (streamed into memory with per-chunk events,
// then minisign-verified) beside `curl` fetching the same package from the same loopback HTTPS
// server in the same run, and the peak memory of one download relative to the package's size.
// The server is bench/tls_file_server, which costs as little CPU as a TLS server can, so the
// figures are the clients'; it reports the TLS version and cipher each client agreed on.
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include "core/page_deliveries.hpp"
#include "lib/encoding/base64.hpp"
#include "lib/minisign/minisign.hpp"
#include "plugins/updater/check.hpp"
#include "plugins/updater/download.hpp"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t package_bytes = 100 * 1000 * 1000;

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

pid_t spawn(std::vector<std::string> args, int stdout_fd) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, stdout_fd, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) std::abort();
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

// A 100 MB package signed with a fresh minisign key, served over loopback HTTPS.
struct Release {
    std::string dir;
    std::string url;
    std::string ca_file;
    std::string trust_file;
    std::string pubkey;
    std::string signature;
    pid_t server = -1;
    FILE* server_out = nullptr;  // a line per connection: "tls TLSv1.3 TLS_AES_256_GCM_SHA384"

    Release() {
        dir = (std::filesystem::temp_directory_path() / "updater-bench-XXXXXX").string();
        if (!mkdtemp(dir.data())) std::abort();
        std::ofstream(dir + "/server.ext") << "subjectAltName=IP:127.0.0.1\n";
        std::string d = "'" + dir + "'";
        std::string setup =
            "cd " + d +
            " && openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key -out ca.pem"
            " -days 2 -subj '/CN=Bench CA'"
            " && openssl req -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout server.key"
            " -out server.csr -subj '/CN=127.0.0.1'"
            " && openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2"
            " -extfile server.ext"
            " && head -c " +
            std::to_string(package_bytes) +
            " /dev/urandom > setup.exe"
            " && minisign -G -W -p key.pub -s key.sec && minisign -S -s key.sec -m setup.exe -x setup.exe.sig"
            // curl trusts what our client does: the system store and the bench's CA.
            " && cat \"$(curl-config --ca)\" ca.pem > trust.pem";
        if (std::system(("(" + setup + ") >/dev/null 2>&1").c_str()) != 0) std::abort();
        ca_file = dir + "/ca.pem";
        trust_file = dir + "/trust.pem";
        pubkey = launcher::lib::encoding::encode_base64(read_file(dir + "/key.pub"));
        signature = launcher::lib::encoding::encode_base64(read_file(dir + "/setup.exe.sig"));
        int out[2];
        if (pipe(out) != 0) std::abort();
        server =
            spawn({LAUNCHER_TLS_FILE_SERVER, dir + "/server.pem", dir + "/server.key", dir + "/setup.exe"}, out[1]);
        close(out[1]);
        server_out = fdopen(out[0], "r");
        url = "https://127.0.0.1:" + server_line() + "/setup.exe";
    }
    ~Release() {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        std::fclose(server_out);
        std::filesystem::remove_all(dir);
    }
    // The server's next line, without its end.
    std::string server_line() {
        char line[256];
        if (!std::fgets(line, sizeof line, server_out)) std::abort();
        std::string text(line);
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }
};

Release& release() {
    static Release r;
    return r;
}

// One `download` as the command does it: every chunk's event serialised into the page's pending
// script as a channel delivery does, the script taken at once as an idle main loop would (here on
// the download's own thread, so the figure errs on the dear side), the body kept whole and its
// signature's pre-hash fed as it arrives, then the signature checked. The package is handed back
// as the command keeps it; freeing it is no part of the download.
launcher::plugins::updater::PackageBytes download_once() {
    auto& r = release();
    launcher::lib::http::ClientSettings client{.extra_ca_file = r.ca_file};
    launcher::lib::http::GetRequest request{
        r.url, launcher::plugins::updater::request_headers({}, "application/octet-stream"), std::nullopt, std::nullopt};
    launcher::core::PageDeliveries page;
    launcher::lib::minisign::UpdateSignatureCheck signature(r.pubkey, r.signature);
    auto bytes = launcher::plugins::updater::download_package(
        client, request,
        [&](const launcher::Json& event) {
            if (page.push(1, event)) benchmark::DoNotOptimize(page.take());
        },
        [&](std::span<const std::uint8_t> chunk) { signature.feed(chunk); });
    if (!bytes || bytes->size() != package_bytes) std::abort();
    if (!signature.finish(bytes->span())) std::abort();
    return std::move(*bytes);
}

double cpu_seconds(const rusage& usage) {
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall and CPU seconds (user and system, all threads) of one piece of work.
struct Cost {
    double wall = 0;
    double cpu = 0;
};

Cost download_cost() {
    rusage before{}, after{};
    getrusage(RUSAGE_SELF, &before);
    auto start = Clock::now();
    auto package = download_once();
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    getrusage(RUSAGE_SELF, &after);
    return {wall, cpu_seconds(after) - cpu_seconds(before)};
}

// curl as a user would run it (its own defaults for TLS and its receive buffer), trusting the
// store our client trusts; with `hashed`, its output piped through b2sum (BLAKE2b-512, the work of
// the signature's pre-hash), run by sh, whose figures include both.
Cost curl_cost(bool hashed) {
    auto& r = release();
    int null_fd = open("/dev/null", O_WRONLY);
    auto start = Clock::now();
    std::string fetch = "curl -sS --cacert '" + r.trust_file + "' '" + r.url + "'";
    pid_t pid = hashed ? spawn({"sh", "-c", fetch + " | b2sum"}, null_fd)
                       : spawn({"curl", "-sS", "--cacert", r.trust_file, "-o", "/dev/null", r.url}, null_fd);
    close(null_fd);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    double wall = std::chrono::duration<double>(Clock::now() - start).count();
    if (status != 0) std::abort();
    return {wall, cpu_seconds(usage)};
}

// Each iteration times one download (the reported time), one curl fetch of the same file and one
// curl fetch hashed by b2sum, in turn; the label names the TLS version and cipher each side agreed
// on with the server.
void download_beside_curl(benchmark::State& state) {
    auto& r = release();
    Cost ours, reference, hashed;
    std::set<std::string> our_tls, curl_tls;
    auto add = [](Cost& sum, const Cost& one) {
        sum.wall += one.wall;
        sum.cpu += one.cpu;
    };
    for (auto _ : state) {
        auto mine = download_cost();
        our_tls.insert(r.server_line());
        state.SetIterationTime(mine.wall);
        add(ours, mine);
        add(reference, curl_cost(false));
        curl_tls.insert(r.server_line());
        add(hashed, curl_cost(true));
        curl_tls.insert(r.server_line());
    }
    double n = static_cast<double>(state.iterations());
    state.counters["ours_MB_per_s"] = package_bytes / 1e6 / (ours.wall / n);
    state.counters["curl_MB_per_s"] = package_bytes / 1e6 / (reference.wall / n);
    state.counters["curl_b2sum_MB_per_s"] = package_bytes / 1e6 / (hashed.wall / n);
    state.counters["time_ratio_to_curl"] = ours.wall / reference.wall;
    state.counters["ours_cpu_s"] = ours.cpu / n;
    state.counters["curl_cpu_s"] = reference.cpu / n;
    state.counters["curl_b2sum_cpu_s"] = hashed.cpu / n;
    auto joined = [](const std::set<std::string>& lines) {
        std::string text;
        for (const auto& line : lines) text += (text.empty() ? "" : ", ") + line.substr(line.find(' ') + 1);
        return text;
    };
    state.SetLabel("ours " + joined(our_tls) + "; curl " + joined(curl_tls));
}
BENCHMARK(download_beside_curl)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The peak resident memory of a child process doing one download, less that of a child doing
// nothing, divided by the package's size.
long child_peak_kib(bool download) {
    pid_t pid = fork();
    if (pid == 0) {
        if (download) (void)download_once();
        _exit(0);
    }
    if (download) release().server_line();
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    return usage.ru_maxrss;
}

void download_peak_memory(benchmark::State& state) {
    release();
    double ratio = 0, beyond = 0;
    for (auto _ : state) {
        long idle = child_peak_kib(false);
        long busy = child_peak_kib(true);
        ratio = static_cast<double>(busy - idle) * 1024 / package_bytes;
        beyond = (static_cast<double>(busy - idle) * 1024 - package_bytes) / 1e6;
    }
    state.counters["peak_memory_to_package_size"] = ratio;
    state.counters["peak_beyond_package_MB"] = beyond;
}
BENCHMARK(download_peak_memory)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
