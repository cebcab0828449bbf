#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "launcher_host.hpp"

namespace launcher {
namespace {

// Every command the permission set grants is either registered by the launcher's command groups
// or on the list of grants intentionally served by nothing; a listed command must be granted and
// must not be served, so the list cannot go stale in either direction.
TEST(GrantCoverage, EveryGrantIsServedOrListedWithItsReason) {
    testing::LauncherHost host;
    const auto& router = host.app.router();
    const auto& granted = router.permissions().granted;

    std::set<std::string> listed;
    for (const auto& entry : unserved_grants()) {
        SCOPED_TRACE(std::string(entry.plugin));
        EXPECT_FALSE(entry.reason.empty());
        auto prefix = "plugin:" + std::string(entry.plugin) + "|";
        for (auto command : entry.commands) EXPECT_TRUE(granted.contains(prefix + std::string(command))) << command;
        auto before = listed.size();
        for (const auto& [key, entries] : granted) {
            if (!key.starts_with(prefix)) continue;
            auto command = std::string_view(key).substr(prefix.size());
            if (entry.commands.empty() || std::ranges::find(entry.commands, command) != entry.commands.end()) {
                listed.insert(key);
            }
        }
        EXPECT_GT(listed.size(), before);
    }

    for (const auto& [key, entries] : granted) {
        EXPECT_NE(router.serves(key), listed.contains(key))
            << key << (listed.contains(key) ? " is listed but served" : " is neither served nor listed");
    }
}

}  // namespace
}  // namespace launcher
