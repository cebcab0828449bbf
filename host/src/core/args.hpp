#pragma once

#include <array>
#include <cstdint>
#include <expected>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/json.hpp"

namespace launcher::core {

// Decoding of command arguments. Failures read like the JSON decoder's own explanations
// ("invalid type: integer `5`, expected a string"), which pages see inside the framework's
// "invalid args" message.
template <class T>
struct ArgDecoder;

// How a JSON value is named when it has the wrong type: "integer `5`", "string \"x\"", "map".
std::string describe_unexpected(const Json& value);
std::string invalid_type(const Json& value, std::string_view expected);

template <>
struct ArgDecoder<std::string> {
    static std::expected<std::string, std::string> decode(const Json& v) {
        if (v.is_string()) return v.get<std::string>();
        return std::unexpected(invalid_type(v, "a string"));
    }
};

template <>
struct ArgDecoder<bool> {
    static std::expected<bool, std::string> decode(const Json& v) {
        if (v.is_boolean()) return v.get<bool>();
        return std::unexpected(invalid_type(v, "a boolean"));
    }
};

// Integers: accepts JSON integers in range; "invalid value" when out of range.
std::expected<std::uint64_t, std::string> decode_unsigned(const Json& v, std::string_view type_name, std::uint64_t max);

template <>
struct ArgDecoder<std::uint32_t> {
    static std::expected<std::uint32_t, std::string> decode(const Json& v) {
        auto n = decode_unsigned(v, "u32", UINT32_MAX);
        if (!n) return std::unexpected(n.error());
        return static_cast<std::uint32_t>(*n);
    }
};

template <>
struct ArgDecoder<std::uint64_t> {
    static std::expected<std::uint64_t, std::string> decode(const Json& v) {
        return decode_unsigned(v, "u64", UINT64_MAX);
    }
};

// Signed 32-bit integers, such as exit codes.
template <>
struct ArgDecoder<std::int32_t> {
    static std::expected<std::int32_t, std::string> decode(const Json& v) {
        if (!v.is_number_integer()) return std::unexpected(invalid_type(v, "i32"));
        bool in_range = v.is_number_unsigned()
                            ? v.get<std::uint64_t>() <= INT32_MAX
                            : v.get<std::int64_t>() >= INT32_MIN && v.get<std::int64_t>() <= INT32_MAX;
        if (!in_range) return std::unexpected("invalid value: " + describe_unexpected(v) + ", expected i32");
        return static_cast<std::int32_t>(v.get<std::int64_t>());
    }
};

template <>
struct ArgDecoder<double> {
    static std::expected<double, std::string> decode(const Json& v) {
        if (v.is_number()) return v.get<double>();
        return std::unexpected(invalid_type(v, "f64"));
    }
};

// Any JSON value, taken as it is.
template <>
struct ArgDecoder<Json> {
    static std::expected<Json, std::string> decode(const Json& v) { return v; }
};

template <class T>
struct ArgDecoder<std::vector<T>> {
    static std::expected<std::vector<T>, std::string> decode(const Json& v) {
        if (!v.is_array()) return std::unexpected(invalid_type(v, "a sequence"));
        std::vector<T> out;
        for (const auto& item : v) {
            auto decoded = ArgDecoder<T>::decode(item);
            if (!decoded) return std::unexpected(decoded.error());
            out.push_back(std::move(*decoded));
        }
        return out;
    }
};

template <class T>
struct ArgDecoder<std::map<std::string, T>> {
    static std::expected<std::map<std::string, T>, std::string> decode(const Json& v) {
        if (!v.is_object()) return std::unexpected(invalid_type(v, "a map"));
        std::map<std::string, T> out;
        for (const auto& [key, item] : v.items()) {
            auto decoded = ArgDecoder<T>::decode(item);
            if (!decoded) return std::unexpected(decoded.error());
            out.emplace(key, std::move(*decoded));
        }
        return out;
    }
};

// The framework's messages for a missing key and for a value that does not decode.
std::string missing_key_message(std::string_view command, std::string_view key);
std::string invalid_args_message(std::string_view command, std::string_view key, std::string_view reason);

// A required argument: missing (absent) fails with the missing-key message; a present value
// of the wrong type, null included, fails with the invalid-args message.
template <class T>
std::expected<T, std::string> required_arg(const Json& args, std::string_view command, std::string_view key) {
    auto it = args.find(key);
    if (it == args.end()) return std::unexpected(missing_key_message(command, key));
    auto decoded = ArgDecoder<T>::decode(*it);
    if (!decoded) return std::unexpected(invalid_args_message(command, key, decoded.error()));
    return decoded;
}

// An optional argument: absent or null gives nullopt.
template <class T>
std::expected<std::optional<T>, std::string> optional_arg(const Json& args, std::string_view command,
                                                          std::string_view key) {
    auto it = args.find(key);
    if (it == args.end() || it->is_null()) return std::optional<T>{};
    auto decoded = ArgDecoder<T>::decode(*it);
    if (!decoded) return std::unexpected(invalid_args_message(command, key, decoded.error()));
    return std::optional<T>{std::move(*decoded)};
}

template <class T>
inline constexpr bool is_optional_arg = false;
template <class T>
inline constexpr bool is_optional_arg<std::optional<T>> = true;

// One argument named by its type: std::optional<T> is optional_arg<T>, any other type required.
template <class T>
std::expected<T, std::string> decode_arg(const Json& args, std::string_view command, std::string_view key) {
    if constexpr (is_optional_arg<T>)
        return optional_arg<typename T::value_type>(args, command, key);
    else
        return required_arg<T>(args, command, key);
}

// Decodes one value per key, in order, with `one.template operator()<T>(key)`; the first failure
// ends the decoding and is the answer.
template <class T, class... Rest, class DecodeOne>
std::expected<std::tuple<T, Rest...>, std::string> decode_each(const DecodeOne& one, const std::string_view* keys) {
    std::expected<T, std::string> first = one.template operator()<T>(keys[0]);
    if (!first) return std::unexpected(std::move(first.error()));
    if constexpr (sizeof...(Rest) == 0) {
        return std::tuple<T>(std::move(*first));
    } else {
        auto rest = decode_each<Rest...>(one, keys + 1);
        if (!rest) return std::unexpected(std::move(rest.error()));
        return std::tuple_cat(std::tuple<T>(std::move(*first)), std::move(*rest));
    }
}

// decode_each over keys given one per type.
template <class... Ts, class DecodeOne, class... Keys>
std::expected<std::tuple<Ts...>, std::string> decode_keys(const DecodeOne& one, const Keys&... keys) {
    static_assert(sizeof...(Ts) == sizeof...(Keys), "one key per argument");
    const std::array<std::string_view, sizeof...(Keys)> names{keys...};
    return decode_each<Ts...>(one, names.data());
}

// A command's arguments in one step, one key per type in the same order. The first argument that
// does not decode gives the message, as decoding them one after the other would:
//   auto args = decode_args<std::string, std::optional<std::uint64_t>>(json, "check", "url", "timeout");
//   if (!args) return std::unexpected(args.error());
//   auto& [url, timeout] = *args;
template <class... Ts, class... Keys>
std::expected<std::tuple<Ts...>, std::string> decode_args(const Json& args, std::string_view command,
                                                          const Keys&... keys) {
    return decode_keys<Ts...>([&]<class T>(std::string_view key) { return decode_arg<T>(args, command, key); },
                              keys...);
}

}  // namespace launcher::core
