// Times a windowed program's start-up from outside, as the X server sees it, then measures the
// memory of its process tree while it idles, and ends it.
//
//   startup_probe [--main TITLE] [--idle SECONDS] [--idle-at SECONDS] [--sample SECONDS] [--minimise]
//                 TITLE -- COMMAND [ARGS...]
//
// TITLE names the first window (the splash card, or the bare web view's splash-shaped window): the
// probe notes when it is mapped and when its page has painted, that is when the pixel at (430, 80),
// inside the card and clear of the logo and texts, shows the card's translucent black. The window
// must have an ARGB visual, as the splash and the bare window have; "-" names none. The probe also
// notes when that window, once mapped, stops being viewable (the launcher's hand-off closes the
// splash in the same main-loop turn as it shows the main window). --main names
// the window of the main page (the launcher's, shown after the hand-off, or a bare or browser
// window showing the same page): the probe notes when it is viewable and when it shows the page,
// that is when it is not held fully transparent (_NET_WM_WINDOW_OPACITY 0) and its centre column
// shows the palette red of the card's report button, which is drawn with the page's texts.
// After both, the probe waits --idle seconds (default 2), or until --idle-at seconds after the
// start if that is later, samples the summed PSS of the program and all its descendants ten times
// over --sample seconds (default 1), keeps the highest, notes the CPU time the tree used meanwhile
// (as a percentage of one core) and, with --minimise, iconifies the main window, waits two
// seconds and notes the tree's CPU over another such span; then it stops the program.
// One line of JSON on standard output: "start" is the fork's CLOCK_MONOTONIC time in seconds,
// the other times are seconds after it, null for what never happened.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int probe_x = 430;
constexpr int probe_y = 80;
constexpr auto poll_interval = std::chrono::milliseconds(1);
constexpr auto start_timeout = std::chrono::seconds(30);

// A window may vanish between two requests; such errors mean "not there", nothing more.
int ignore_x_error(Display*, XErrorEvent*) { return 0; }

std::string window_title(Display* display, Window window) {
    static Atom net_wm_name = XInternAtom(display, "_NET_WM_NAME", False);
    static Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display, window, net_wm_name, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        title.assign(reinterpret_cast<char*>(data), count);
        XFree(data);
    }
    return title;
}

// The first window below root, depth first, whose title is exactly `title`.
std::optional<Window> find_window(Display* display, Window parent, const std::string& title) {
    Window root = 0, parent_of = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &parent_of, &children, &count)) return std::nullopt;
    std::optional<Window> found;
    for (unsigned int i = 0; i < count && !found; ++i) {
        if (window_title(display, children[i]) == title) {
            found = children[i];
        } else {
            found = find_window(display, children[i], title);
        }
    }
    if (children) XFree(children);
    return found;
}

bool is_viewable(Display* display, Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

// Whether the card shows at the probe pixel of this ARGB window. The card is translucent black
// (premultiplied: colour 0, alpha 0xe6 at full opacity, less while it fades in). Before the page
// paints, the pixel is either fully transparent or the server's opaque grey fill of a new window,
// so a translucent, colourless pixel is the page.
bool has_painted(Display* display, Window window) {
    XImage* image = XGetImage(display, window, probe_x, probe_y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return false;
    unsigned long pixel = XGetPixel(image, 0, 0);
    unsigned long alpha = pixel >> 24 & 0xff;
    bool colourless = (pixel >> 16 & 0xff) <= 8 && (pixel >> 8 & 0xff) <= 8 && (pixel & 0xff) <= 8;
    bool painted = image->depth == 32 && alpha > 0 && alpha < 0xff && colourless;
    XDestroyImage(image);
    return painted;
}

// The window's _NET_WM_WINDOW_OPACITY is 0: mapped, but nothing of it is seen yet.
bool held_transparent(Display* display, Window window) {
    static Atom opacity = XInternAtom(display, "_NET_WM_WINDOW_OPACITY", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool transparent = false;
    if (XGetWindowProperty(display, window, opacity, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
            Success &&
        data) {
        transparent = count == 1 && *reinterpret_cast<unsigned long*>(data) == 0;
        XFree(data);
    }
    return transparent;
}

// Whether the main page is on show: the report button's palette red somewhere in the window's
// centre column, below the 48 px header.
bool shows_main_page(Display* display, Window window) {
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display, window, &attributes) || attributes.height <= 48) return false;
    if (held_transparent(display, window)) return false;
    XImage* image = XGetImage(display, window, attributes.width / 2, 48, 1, attributes.height - 48, AllPlanes, ZPixmap);
    if (!image) return false;
    bool found = false;
    for (int y = 0; y < image->height && !found; ++y) {
        unsigned long pixel = XGetPixel(image, 0, y);
        found = (pixel >> 16 & 0xff) > 200 && (pixel >> 8 & 0xff) < 110 && (pixel & 0xff) < 120;
    }
    XDestroyImage(image);
    return found;
}

// The process and every descendant, from the parent links in /proc.
std::vector<pid_t> process_tree(pid_t root) {
    std::multimap<pid_t, pid_t> children;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        std::string name = entry.path().filename();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        if (!std::getline(stat, line)) continue;
        // The command name may hold spaces and parentheses; the fields after its last ')' do not.
        auto close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream fields(line.substr(close + 1));
        char state = 0;
        pid_t parent = 0;
        fields >> state >> parent;
        children.emplace(parent, std::stoi(name));
    }
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        auto [first, last] = children.equal_range(tree[i]);
        for (auto it = first; it != last; ++it) tree.push_back(it->second);
    }
    return tree;
}

// Proportional set size in KiB: each shared page counted once across the processes sharing it.
long pss_kib(pid_t pid) {
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long value = 0;
    while (rollup >> key) {
        if (key == "Pss:") {
            rollup >> value;
            return value;
        }
        rollup.ignore(1 << 20, '\n');
    }
    return 0;
}

// User and system CPU time a process has used so far, in clock ticks.
long cpu_ticks(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line)) return 0;
    auto close = line.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(line.substr(close + 1));
    std::string skipped;
    for (int field = 3; field < 14; ++field) fields >> skipped;
    long user = 0, system = 0;
    fields >> user >> system;
    return user + system;
}

long tree_cpu_ticks(const std::vector<pid_t>& tree) {
    long total = 0;
    for (pid_t pid : tree) total += cpu_ticks(pid);
    return total;
}

std::string seconds_or_null(std::optional<Clock::time_point> at, Clock::time_point start) {
    if (!at) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", std::chrono::duration<double>(*at - start).count());
    return text;
}

void stop_tree(pid_t child) {
    auto tree = process_tree(child);
    for (pid_t pid : tree) kill(pid, SIGTERM);
    auto deadline = Clock::now() + std::chrono::seconds(10);
    while (waitpid(child, nullptr, WNOHANG) == 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    for (pid_t pid : tree) kill(pid, SIGKILL);
    waitpid(child, nullptr, WNOHANG);
    // Let the web processes go before the next program starts, so runs do not overlap.
    for (pid_t pid : tree) {
        while (pid != child && kill(pid, 0) == 0 && Clock::now() < deadline + std::chrono::seconds(5)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

int usage() {
    std::fputs(
        "usage: startup_probe [--main TITLE] [--idle SECONDS] [--idle-at SECONDS] [--sample SECONDS] "
        "[--minimise] TITLE -- COMMAND [ARGS...]\n",
        stderr);
    return 2;
}

// CPU the tree used over `span`, as a percentage of one core.
double tree_cpu_percent(const std::vector<pid_t>& tree, std::chrono::duration<double> span) {
    long before = tree_cpu_ticks(tree);
    auto start = Clock::now();
    std::this_thread::sleep_for(span);
    double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    return static_cast<double>(tree_cpu_ticks(tree) - before) / sysconf(_SC_CLK_TCK) / elapsed * 100;
}

}  // namespace

int main(int argc, char** argv) {
    std::string first_title;
    std::optional<std::string> main_title;
    double idle_seconds = 2, idle_at = 0, sample_seconds = 1;
    bool minimise = false;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--main") == 0 && i + 1 < argc) {
            main_title = argv[++i];
        } else if (std::strcmp(argv[i], "--idle") == 0 && i + 1 < argc) {
            idle_seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--idle-at") == 0 && i + 1 < argc) {
            idle_at = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--sample") == 0 && i + 1 < argc) {
            sample_seconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--minimise") == 0) {
            minimise = true;
        } else {
            first_title = argv[i];
        }
    }
    if (first_title.empty() || i + 1 >= argc || (first_title == "-" && !main_title)) return usage();
    bool has_first = first_title != "-";
    char** command = argv + i + 1;

    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fputs("startup_probe: cannot open the display\n", stderr);
        return 1;
    }
    XSetErrorHandler(ignore_x_error);
    Window root = DefaultRootWindow(display);

    auto start = Clock::now();
    pid_t child = fork();
    if (child == 0) {
        execvp(command[0], command);
        _exit(127);
    }
    if (child < 0) return 1;

    std::optional<Window> first, main;
    std::optional<Clock::time_point> mapped, painted, closed, shown, main_painted;
    while (Clock::now() - start < start_timeout && waitpid(child, nullptr, WNOHANG) == 0) {
        auto now = Clock::now();
        if (has_first && !first) first = find_window(display, root, first_title);
        if (main_title && !main) main = find_window(display, root, *main_title);
        bool first_viewable = first && is_viewable(display, *first);
        if (first_viewable && !mapped) mapped = now;
        if (first_viewable && !painted && has_painted(display, *first)) painted = now;
        if (mapped && !first_viewable && !closed) closed = now;
        bool main_viewable = main && is_viewable(display, *main);
        if (main_viewable && !shown) shown = now;
        if (main_viewable && !main_painted && shows_main_page(display, *main)) main_painted = now;
        bool first_done = !has_first || painted || closed;
        if (first_done && (!main_title || main_painted)) break;
        std::this_thread::sleep_for(poll_interval);
    }

    long peak = 0;
    std::size_t processes = 0;
    double idle_cpu = 0;
    std::optional<double> minimised_cpu;
    if (waitpid(child, nullptr, WNOHANG) == 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(idle_seconds));
        std::this_thread::sleep_until(
            start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(idle_at)));
        auto sampled_tree = process_tree(child);
        long ticks_before = tree_cpu_ticks(sampled_tree);
        auto sampling_start = Clock::now();
        for (int sample = 0; sample < 10; ++sample) {
            auto tree = process_tree(child);
            long total = 0;
            for (pid_t pid : tree) total += pss_kib(pid);
            if (total > peak) {
                peak = total;
                processes = tree.size();
            }
            std::this_thread::sleep_for(std::chrono::duration<double>(sample_seconds / 10));
        }
        double elapsed = std::chrono::duration<double>(Clock::now() - sampling_start).count();
        double used = static_cast<double>(tree_cpu_ticks(sampled_tree) - ticks_before) / sysconf(_SC_CLK_TCK);
        idle_cpu = used / elapsed * 100;
        if (minimise && main) {
            XIconifyWindow(display, *main, DefaultScreen(display));
            XFlush(display);
            std::this_thread::sleep_for(std::chrono::seconds(2));
            minimised_cpu = tree_cpu_percent(process_tree(child), std::chrono::duration<double>(sample_seconds));
        }
        stop_tree(child);
    }
    XCloseDisplay(display);

    double fork_time = std::chrono::duration<double>(start.time_since_epoch()).count();
    std::printf(
        "{\"start\": %.6f, \"first_mapped\": %s, \"first_painted\": %s, \"first_closed\": %s, "
        "\"main_shown\": %s, \"main_painted\": %s, \"pss_kib\": %ld, \"processes\": %zu, "
        "\"idle_cpu_percent\": %.2f, \"minimised_cpu_percent\": %s}\n",
        fork_time, seconds_or_null(mapped, start).c_str(), seconds_or_null(painted, start).c_str(),
        seconds_or_null(closed, start).c_str(), seconds_or_null(shown, start).c_str(),
        seconds_or_null(main_painted, start).c_str(), peak, processes, idle_cpu,
        minimised_cpu ? std::to_string(*minimised_cpu).c_str() : "null");
    return 0;
}
