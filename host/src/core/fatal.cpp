#include "core/fatal.hpp"

#include <cstdio>
#include <cstdlib>

namespace launcher::core {

void fatal(std::string_view message) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
    std::fflush(stderr);
    std::_Exit(101);
}

}  // namespace launcher::core
