#include "core/args.hpp"

namespace launcher::core {

std::string describe_unexpected(const Json& v) {
    switch (v.type()) {
    case Json::value_t::null:
        return "null";
    case Json::value_t::boolean:
        return std::string("boolean `") + (v.get<bool>() ? "true" : "false") + "`";
    case Json::value_t::number_integer:
        return "integer `" + std::to_string(v.get<std::int64_t>()) + "`";
    case Json::value_t::number_unsigned:
        return "integer `" + std::to_string(v.get<std::uint64_t>()) + "`";
    case Json::value_t::number_float:
        return "floating point `" + v.dump() + "`";
    case Json::value_t::string:
        return "string " + v.dump();
    case Json::value_t::array:
        return "sequence";
    case Json::value_t::object:
        return "map";
    default:
        return "unknown value";
    }
}

std::string invalid_type(const Json& value, std::string_view expected) {
    return "invalid type: " + describe_unexpected(value) + ", expected " + std::string(expected);
}

std::expected<std::uint64_t, std::string> decode_unsigned(const Json& v, std::string_view type_name,
                                                          std::uint64_t max) {
    if (v.is_number_unsigned() || (v.is_number_integer() && v.get<std::int64_t>() >= 0)) {
        auto n = v.get<std::uint64_t>();
        if (n <= max) return n;
    } else if (!v.is_number_integer()) {
        return std::unexpected(invalid_type(v, type_name));
    }
    return std::unexpected("invalid value: " + describe_unexpected(v) + ", expected " + std::string(type_name));
}

std::string missing_key_message(std::string_view command, std::string_view key) {
    return "command " + std::string(command) + " missing required key " + std::string(key);
}

std::string invalid_args_message(std::string_view command, std::string_view key, std::string_view reason) {
    return "invalid args `" + std::string(key) + "` for command `" + std::string(command) + "`: " + std::string(reason);
}

}  // namespace launcher::core
