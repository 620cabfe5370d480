#include <cmath>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>

#include "programs/quillet-app/CommandLine.h"
#include "shared/paths/UserEnvironment.h"
#include "shared/settings/DefaultsSuite.h"
#include "shared/errors/PlatformError.h"
#include "shared/text/Translation.h"

namespace quillet::cli {

namespace {

using nlohmann::json;

struct DefaultsArguments {
    std::string verb;
    std::optional<std::string> suite;  // --suite NAME
    bool standard = false;             // --standard
    std::vector<std::string> words;    // positional words
    std::optional<std::string> json;   // -json VALUE
    std::optional<std::string> hex;    // -data HEX
};

constexpr const char* kUsage =
    "usage: quillet defaults read [--suite NAME | --standard] [KEY]\n"
    "       quillet defaults write [--suite NAME | --standard] KEY (-json VALUE | -data HEX)\n"
    "       quillet defaults delete [--suite NAME | --standard] KEY";

// Options may stand anywhere after the verb; the word after -json or -data is always the value,
// so a value such as "-5" or "--standard" is never taken for an option.
std::optional<std::string> parse(const std::vector<std::string>& args, DefaultsArguments& out) {
    if (args.empty()) return "defaults needs read, write or delete";
    out.verb = args[0];
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        if (a == "--suite") {
            auto v = value();
            if (!v) return "--suite needs a suite name";
            out.suite = *v;
        } else if (a.starts_with("--suite=")) {
            out.suite = a.substr(8);
        } else if (a == "--standard") {
            out.standard = true;
        } else if (a == "-json") {
            if (out.json || out.hex) return "give one value, with -json or -data";
            out.json = value();
            if (!out.json) return "-json needs a value";
        } else if (a == "-data") {
            if (out.json || out.hex) return "give one value, with -json or -data";
            out.hex = value();
            if (!out.hex) return "-data needs a hexadecimal value";
        } else {
            out.words.push_back(a);
        }
    }
    if (out.suite && out.standard) return "give either --suite NAME or --standard, not both";
    if (out.suite && !DefaultsSuite::isValidSuiteName(*out.suite))
        return "\"" + *out.suite + "\" is not a suite name";
    return std::nullopt;
}

std::optional<DefaultsValue::Data> parseHex(const std::string& hex) {
    if (hex.size() % 2 != 0) return std::nullopt;
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    DefaultsValue::Data data;
    data.reserve(hex.size() / 2);
    for (size_t i = 0; i < hex.size(); i += 2) {
        int high = nibble(hex[i]), low = nibble(hex[i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        data.push_back(static_cast<std::uint8_t>(high * 16 + low));
    }
    return data;
}

std::string toHex(const DefaultsValue::Data& data) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(data.size() * 2);
    for (std::uint8_t b : data) {
        hex += digits[b >> 4];
        hex += digits[b & 0xf];
    }
    return hex;
}

// A JSON text as a settings value: strings, booleans, whole numbers as integers, other numbers
// as reals, arrays and objects nested. JSON has no counterpart of data, and null none in settings.
std::optional<DefaultsValue> fromJSON(const json& j, size_t depth, std::string& problem) {
    if (depth > kMaximumDefaultsValueDepth) {
        problem = "the value nests deeper than " + std::to_string(kMaximumDefaultsValueDepth) + " levels";
        return std::nullopt;
    }
    switch (j.type()) {
        case json::value_t::string:
            return DefaultsValue(j.get<std::string>());
        case json::value_t::boolean:
            return DefaultsValue(j.get<bool>());
        case json::value_t::number_integer:
            return DefaultsValue(j.get<std::int64_t>());
        case json::value_t::number_unsigned: {
            auto u = j.get<std::uint64_t>();
            if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
                problem = std::to_string(u) + " is too large for a 64-bit integer";
                return std::nullopt;
            }
            return DefaultsValue(static_cast<std::int64_t>(u));
        }
        case json::value_t::number_float: {
            double d = j.get<double>();
            if (!std::isfinite(d)) {
                problem = "the number is out of range";
                return std::nullopt;
            }
            return DefaultsValue(d);
        }
        case json::value_t::array: {
            DefaultsValue::Array array;
            for (const auto& element : j) {
                auto v = fromJSON(element, depth + 1, problem);
                if (!v) return std::nullopt;
                array.push_back(std::move(*v));
            }
            return DefaultsValue(std::move(array));
        }
        case json::value_t::object: {
            DefaultsValue::Dictionary dictionary;
            for (const auto& [key, element] : j.items()) {
                auto v = fromJSON(element, depth + 1, problem);
                if (!v) return std::nullopt;
                dictionary.insert_or_assign(key, std::move(*v));
            }
            return DefaultsValue(std::move(dictionary));
        }
        case json::value_t::null:
            problem = "null has no settings counterpart";
            return std::nullopt;
        default:
            problem = "the value is not JSON";
            return std::nullopt;
    }
}

json toJSON(const DefaultsValue& value) {
    switch (value.type()) {
        case DefaultsValueType::string:
            return *value.string();
        case DefaultsValueType::boolean:
            return *value.boolean();
        case DefaultsValueType::integer:
            return *value.integer();
        case DefaultsValueType::real: {
            double d = *value.real();
            if (std::isfinite(d)) return d;
            // JSON has no NaN or infinity; spell them out rather than print null.
            return json{{"$real", std::isnan(d) ? "nan" : (d > 0 ? "inf" : "-inf")}};
        }
        case DefaultsValueType::data:
            return json{{"$data", toHex(*value.data())}};
        case DefaultsValueType::array: {
            json array = json::array();
            for (const auto& element : *value.array()) array.push_back(toJSON(element));
            return array;
        }
        case DefaultsValueType::dictionary: {
            json object = json::object();
            for (const auto& [key, element] : *value.dictionary()) object[key] = toJSON(element);
            return object;
        }
    }
    return nullptr;
}

void print(std::ostream& out, const json& j) {
    // Stored strings need not be UTF-8; show what can be shown instead of failing.
    out << j.dump(2, ' ', false, json::error_handler_t::replace) << '\n';
}

std::unique_ptr<DefaultsSuite> openSuite(const DefaultsArguments& a,
                                         const std::optional<std::filesystem::path>& configurationHome) {
    if (a.suite) return DefaultsSuite::open(configurationHome, *a.suite);
    if (a.standard) return DefaultsSuite::open(configurationHome, DefaultsSuite::kStandardDomainName);
    auto suite = DefaultsSuite::openShared(configurationHome);
    // A suite held in memory would forget the change at exit: not a success.
    if (!suite->isPersistent()) return nullptr;
    return suite;
}

std::string suiteLabel(const DefaultsArguments& a) {
    if (a.suite) return *a.suite;
    return a.standard ? DefaultsSuite::kStandardDomainName : DefaultsSuite::kSharedSuiteName;
}

}  // namespace

int defaultsCommand(Invocation& inv) {
    DefaultsArguments a;
    if (auto problem = parse(inv.args, a)) return usageError(inv, *problem + "\n" + kUsage);

    std::optional<DefaultsValue> value;
    if (a.verb == "read") {
        if (a.json || a.hex || a.words.size() > 1)
            return usageError(inv, std::string(translate("read takes at most one key")) + "\n" + kUsage);
    } else if (a.verb == "write") {
        if (a.words.size() != 1 || (!a.json && !a.hex))
            return usageError(inv, std::string(translate("write needs a key and a value")) + "\n" + kUsage);
        if (a.json) {
            json parsed = json::parse(*a.json, nullptr, false);
            if (parsed.is_discarded())
                return usageError(inv, formatText(translate("malformed JSON value: %1"), {*a.json}));
            std::string problem;
            value = fromJSON(parsed, 1, problem);
            if (!value) return usageError(inv, formatText(translate("malformed value: %1"), {problem}));
        } else {
            auto data = parseHex(*a.hex);
            if (!data)
                return usageError(
                    inv, formatText(translate("malformed data: give an even number of hexadecimal digits, not \"%1\""),
                                    {*a.hex}));
            value = DefaultsValue(std::move(*data));
        }
    } else if (a.verb == "delete") {
        if (a.json || a.hex || a.words.size() != 1)
            return usageError(inv, std::string(translate("delete needs one key")) + "\n" + kUsage);
    } else {
        return usageError(inv, formatText(translate("unknown defaults verb \"%1\""), {a.verb}) + "\n" + kUsage);
    }

    auto suite = openSuite(a, inv.environment.configurationHome);
    if (!suite) {
        inv.err << "quillet: " << formatText(translate("could not open the settings suite %1"), {suiteLabel(a)})
                << "\n";
        return kExitFailure;
    }
    try {
        if (a.verb == "read") {
            if (a.words.empty()) {
                json all = json::object();
                for (const auto& [key, v] : suite->dictionaryRepresentation()) all[key] = toJSON(v);
                print(inv.out, all);
                return kExitOK;
            }
            auto stored = suite->get(a.words[0]);
            if (!stored) {
                inv.err << "quillet: " << formatText(translate("%1 has no value for %2"), {suite->name(), a.words[0]})
                        << "\n";
                return kExitFailure;
            }
            print(inv.out, toJSON(*stored));
        } else if (a.verb == "write") {
            suite->setOrThrow(a.words[0], *value);
        } else {
            suite->removeOrThrow(a.words[0]);
        }
    } catch (const PlatformError& e) {
        inv.err << "quillet: " << e.description() << "\n";
        return kExitFailure;
    }
    return kExitOK;
}

}  // namespace quillet::cli
