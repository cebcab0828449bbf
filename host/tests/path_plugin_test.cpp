#include "plugins/path/path_plugin.hpp"

#include <gtest/gtest.h>

#include "plugins/path/path_functions.hpp"
#include "router_harness.hpp"

namespace launcher {
namespace {

using testing::outcome;

std::string shown(const std::expected<std::string, std::string>& text) {
    return text ? "answer " + *text : "error " + text.error();
}

TEST(PathFunctions, NameTheComponentsLikeThePageApi) {
    struct Case {
        std::string path;
        std::string basename, dirname, extname;
    };
    const std::string no_basename = "error path does not have a basename";
    const std::string no_parent = "error path does not have a parent";
    const std::string no_extension = "error path does not have an extension";
    const Case cases[] = {
        {"/home/user/notes.tar.gz", "answer notes.tar.gz", "answer /home/user", "answer gz"},
        {"/home/user/docs/", "answer docs", "answer /home/user", no_extension},
        {"relative/file.txt", "answer file.txt", "answer relative", "answer txt"},
        {"file.txt", "answer file.txt", "answer ", "answer txt"},
        {".bashrc", "answer .bashrc", "answer ", no_extension},
        {"trailing.", "answer trailing.", "answer ", no_extension},
        {"/", no_basename, no_parent, no_extension},
        {"", no_basename, no_parent, no_extension},
        {"up/..", no_basename, "answer up", no_extension},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.path + "'");
        EXPECT_EQ(shown(plugins::path::basename(c.path, std::nullopt)), c.basename);
        EXPECT_EQ(shown(plugins::path::dirname(c.path)), c.dirname);
        EXPECT_EQ(shown(plugins::path::extname(c.path)), c.extname);
    }
}

TEST(PathFunctions, NormalizeJoinAndAbsoluteness) {
    const std::pair<std::string, std::string> normal[] = {
        {"/foo/bar//baz/asdf/quux/..", "/foo/bar/baz/asdf"},
        {"a/./b/", "a/b"},
        {"a/..", "."},
        {"", "."},
        {"/", "/"},
        {"../x", "../x"},
    };
    for (const auto& [path, expected] : normal) EXPECT_EQ(plugins::path::normalize(path), expected) << path;

    EXPECT_EQ(plugins::path::join({"a", "b", "c.txt"}), "a/b/c.txt");
    // An absolute part restarts the path, as the platform's own joining does.
    EXPECT_EQ(plugins::path::join({"a", "/etc", "hosts"}), "/etc/hosts");
    EXPECT_EQ(plugins::path::join({}), "");
    EXPECT_TRUE(plugins::path::is_absolute("/etc"));
    EXPECT_FALSE(plugins::path::is_absolute("etc"));
}

TEST(PathPlugin, DecodesThePageArguments) {
    testing::Host host;
    plugins::path::register_path_plugin(host.app);
    core::PermissionSet open;
    for (auto name : {"basename", "dirname", "extname", "is_absolute", "join", "normalize"}) {
        open.granted[std::string("plugin:path|") + name] = {{.windows = {"main"}}};
    }
    host.app.router().set_permissions(std::move(open));
    const std::tuple<std::string, Json, std::string> cases[] = {
        {"basename", {{"path", "/a/page.html"}, {"ext", ".html"}}, "answer \"page\""},
        {"basename", {{"path", "/a/page.html"}, {"ext", nullptr}}, "answer \"page.html\""},
        {"dirname", {{"path", "/a/page.html"}}, "answer \"/a\""},
        {"dirname", {{"path", "/"}}, "error path does not have a parent"},
        {"extname", {{"path", "/a/page.html"}}, "answer \"html\""},
        {"is_absolute", {{"path", "/a"}}, "answer true"},
        {"normalize", {{"path", "a//b/../c"}}, "answer \"a/c\""},
        {"join", {{"paths", {"a", "b"}}}, "answer \"a/b\""},
        {"dirname", Json::object(), "error command dirname missing required key path"},
        {"join",
         {{"paths", "a"}},
         "error invalid args `paths` for command `join`: invalid type: string \"a\", "
         "expected a sequence"},
    };
    for (const auto& [name, args, expected] : cases) {
        SCOPED_TRACE(name + " " + args.dump());
        EXPECT_EQ(outcome(host.call("plugin:path|" + name, args)), expected);
    }
}

}  // namespace
}  // namespace launcher
