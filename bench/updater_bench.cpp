// The update download: throughput of `download` (streamed into memory with per-chunk events,
// then minisign-verified) beside `curl` fetching the same package from the same loopback HTTPS
// server in the same run, and the peak memory of one download relative to the package's size.
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
#include <sstream>

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

// A 100 MB package signed with a fresh minisign key, served by the tests' loopback HTTPS server.
struct Release {
    std::string dir;
    std::string url;
    std::string ca_file;
    std::string pubkey;
    std::string signature;
    pid_t server = -1;

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
            " && head -c " + std::to_string(package_bytes) + " /dev/urandom > setup.exe"
            " && minisign -G -W -p key.pub -s key.sec && minisign -S -s key.sec -m setup.exe -x setup.exe.sig";
        if (std::system(("(" + setup + ") >/dev/null 2>&1").c_str()) != 0) std::abort();
        ca_file = dir + "/ca.pem";
        pubkey = launcher::lib::encoding::encode_base64(read_file(dir + "/key.pub"));
        signature = launcher::lib::encoding::encode_base64(read_file(dir + "/setup.exe.sig"));
        std::ofstream(dir + "/routes.json") << R"({"/setup.exe": {"body_file": ")" << dir << R"(/setup.exe"}})";
        int out[2];
        if (pipe(out) != 0) std::abort();
        server = spawn({"python3", std::string(LAUNCHER_FIXTURES) + "/updater/loopback.py", "https", "--routes",
                        dir + "/routes.json", "--log", "/dev/null", "--cert", dir + "/server.pem", "--key",
                        dir + "/server.key", "--lifetime", "900"},
                       out[1]);
        close(out[1]);
        std::string port;
        char c;
        while (read(out[0], &c, 1) == 1 && c != '\n') port += c;
        close(out[0]);
        url = "https://127.0.0.1:" + port + "/setup.exe";
    }
    ~Release() {
        kill(server, SIGTERM);
        waitpid(server, nullptr, 0);
        std::filesystem::remove_all(dir);
    }
};

Release& release() {
    static Release r;
    return r;
}

// One `download` as the command does it: events built for every chunk, the body kept whole and
// its signature's pre-hash fed as it arrives, then the signature checked.
void download_once() {
    auto& r = release();
    launcher::lib::http::ClientSettings client{.extra_ca_file = r.ca_file};
    launcher::lib::http::GetRequest request{r.url, launcher::updater::request_headers({}, "application/octet-stream"),
                                       std::nullopt, std::nullopt};
    std::size_t events = 0;
    launcher::lib::minisign::UpdateSignatureCheck signature(r.pubkey, r.signature);
    auto bytes = launcher::updater::download_package(
        client, request, [&](const launcher::Json&) { ++events; },
        [&](std::span<const std::uint8_t> chunk) { signature.feed(chunk); });
    if (!bytes || bytes->size() != package_bytes) std::abort();
    if (!signature.finish(bytes->span())) std::abort();
    benchmark::DoNotOptimize(events);
}

void run_curl() {
    auto& r = release();
    int null_fd = open("/dev/null", O_WRONLY);
    pid_t pid = spawn({"curl", "-sS", "--cacert", r.ca_file, "-o", "/dev/null", r.url}, null_fd);
    close(null_fd);
    int status = 0;
    waitpid(pid, &status, 0);
    if (status != 0) std::abort();
}

double seconds_of(void (*work)()) {
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Each iteration times one download (the reported time) and one curl fetch of the same file.
void download_beside_curl(benchmark::State& state) {
    release();
    double ours = 0, reference = 0;
    for (auto _ : state) {
        double mine = seconds_of(download_once);
        state.SetIterationTime(mine);
        ours += mine;
        reference += seconds_of(run_curl);
    }
    double n = static_cast<double>(state.iterations());
    state.counters["ours_MB_per_s"] = package_bytes / 1e6 / (ours / n);
    state.counters["curl_MB_per_s"] = package_bytes / 1e6 / (reference / n);
    state.counters["time_ratio_to_curl"] = ours / reference;
}
BENCHMARK(download_beside_curl)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// The peak resident memory of a child process doing one download, less that of a child doing
// nothing, divided by the package's size.
long child_peak_kib(bool download) {
    pid_t pid = fork();
    if (pid == 0) {
        if (download) download_once();
        _exit(0);
    }
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
