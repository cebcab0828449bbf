#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace launcher::platform {

// Physical memory, in bytes.
struct MemoryFigures {
    std::uint64_t total = 0;
    std::uint64_t available = 0;
};

// Swap (on Windows: the commit capacity beyond physical memory), in bytes.
struct SwapFigures {
    std::uint64_t total = 0;
    std::uint64_t used = 0;
};

// A processor's cumulative time since boot, in any unit the platform counts in; usage is the
// busy share of the difference between two readings.
struct ProcessorTimes {
    std::uint64_t idle = 0;
    std::uint64_t total = 0;
};

// The processor identification instruction's vendor (leaf 0) and brand (leaves 0x80000002 to
// 0x80000004) texts; the brand is empty where the processor lacks those leaves.
struct ProcessorIdentity {
    std::string vendor_id;
    std::string brand;
};

// The machine's processor and memory figures. Every query answers afresh; none caches. Callable
// from any thread.
class SystemProbe {
public:
    virtual ~SystemProbe() = default;

    // Null when the operating system's query fails.
    virtual std::optional<MemoryFigures> memory() const = 0;
    virtual std::optional<SwapFigures> swap() const = 0;

    // The number of logical processors online.
    virtual std::size_t logical_processors() const = 0;
    virtual ProcessorIdentity processor_identity() const = 0;
    // Each online processor's current clock in MHz, in processor order; null when the query fails.
    virtual std::optional<std::vector<std::uint64_t>> frequencies_mhz() const = 0;
    // Each online processor's cumulative times, in processor order; null when the query fails.
    virtual std::optional<std::vector<ProcessorTimes>> processor_times() const = 0;
};

// The platform facts pages read at load. All but `version` are fixed by the build target.
struct OsFacts {
    std::string eol;
    std::string os_type;
    std::string platform;
    std::string family;
    std::string version;  // the operating system's version text, or "Unknown"
    std::string arch;
    std::string exe_extension;
};

// The operating system's identity and the user's language. Callable from any thread.
class OsProbe {
public:
    virtual ~OsProbe() = default;

    virtual OsFacts facts() const = 0;
    // The user's first preferred interface language as "ll-RR" (or "ll"), read afresh each
    // call; null when none can be obtained.
    virtual std::optional<std::string> locale() const = 0;
};

// The probes of the platform this host was built for.
std::shared_ptr<SystemProbe> make_system_probe();
std::shared_ptr<OsProbe> make_os_probe();

}  // namespace launcher::platform
