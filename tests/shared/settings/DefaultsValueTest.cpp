#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>

#include "shared/settings/DefaultsValue.h"

using namespace quillet;

namespace {

DefaultsValue everyKind() {
    const double nan = std::bit_cast<double>(std::uint64_t{0x7ff8dead0000beefULL});
    return DefaultsValue::Dictionary{
        {"string", std::string("caf\xc3\xa9 \0 nul", 11)},
        {"empty", ""},
        {"yes", true},
        {"no", false},
        {"min", std::numeric_limits<std::int64_t>::min()},
        {"max", std::numeric_limits<std::int64_t>::max()},
        {"real", 0.1},
        {"negativeZero", -0.0},
        {"nan", nan},
        {"infinity", -std::numeric_limits<double>::infinity()},
        {"tiny", std::numeric_limits<double>::denorm_min()},
        {"data", DefaultsValue::Data{0x00, 0xff, 0x80}},
        {"noData", DefaultsValue::Data{}},
        {"mixed", DefaultsValue::Array{"txt", 5, 5.0, true, DefaultsValue::Data{1}}},
        {"nested", DefaultsValue::Array{DefaultsValue::Dictionary{{"a", DefaultsValue::Array{}}},
                                        DefaultsValue::Dictionary{}}},
    };
}

std::optional<DefaultsValue> roundTrip(const DefaultsValue& value) {
    return decodeDefaultsValue(encodeDefaultsValue(value));
}

}  // namespace

TEST(DefaultsValue, EveryKindRoundTripsExactly) {
    const DefaultsValue value = everyKind();
    auto back = roundTrip(value);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, value);
    // The exactness the equality promises: bits of reals, kinds of numbers.
    const auto& d = *back->dictionary();
    EXPECT_TRUE(std::signbit(*d.at("negativeZero").real()));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(*d.at("nan").real()), 0x7ff8dead0000beefULL);
    EXPECT_EQ(d.at("string").string()->size(), 11u);
    const auto& mixed = *d.at("mixed").array();
    EXPECT_EQ(mixed[0].type(), DefaultsValueType::string);
    EXPECT_EQ(mixed[1].type(), DefaultsValueType::integer);
    EXPECT_EQ(mixed[2].type(), DefaultsValueType::real);
}

TEST(DefaultsValue, EqualityIsExactAboutKindsAndBits) {
    EXPECT_NE(DefaultsValue(5), DefaultsValue(5.0));
    EXPECT_NE(DefaultsValue(0.0), DefaultsValue(-0.0));
    EXPECT_EQ(DefaultsValue(std::nan("")), DefaultsValue(std::nan("")));
    EXPECT_NE(DefaultsValue("5"), DefaultsValue(5));
    EXPECT_NE(DefaultsValue(DefaultsValue::Data{'a'}), DefaultsValue("a"));
    EXPECT_NE(DefaultsValue(DefaultsValue::Array{"txt", 5}), DefaultsValue(DefaultsValue::Array{"txt", "5"}));
    EXPECT_EQ(DefaultsValue(DefaultsValue::Array{1, 2.5}), DefaultsValue(DefaultsValue::Array{1, 2.5}));
    // Accessors answer only for their own kind.
    EXPECT_FALSE(DefaultsValue(5).real());
    EXPECT_FALSE(DefaultsValue(true).integer());
    EXPECT_EQ(DefaultsValue("x").data(), nullptr);
}

TEST(DefaultsValue, DamagedBytesDecodeAsNothing) {
    const auto good = encodeDefaultsValue(everyKind());
    // Every truncation is detected, wherever it cuts.
    for (size_t size = 0; size < good.size(); ++size)
        EXPECT_FALSE(decodeDefaultsValue(good.data(), size)) << "cut at " << size;
    auto trailing = good;
    trailing.push_back(0);
    EXPECT_FALSE(decodeDefaultsValue(trailing));

    auto version = good;
    version[0] = 2;
    EXPECT_FALSE(decodeDefaultsValue(version));
    EXPECT_FALSE(decodeDefaultsValue(std::vector<std::uint8_t>{1, 'x'}));     // unknown tag
    EXPECT_FALSE(decodeDefaultsValue(std::vector<std::uint8_t>{1, 'b', 2}));  // boolean other than 0/1
    // A length far beyond the bytes present must not be believed (or allocated).
    EXPECT_FALSE(decodeDefaultsValue(std::vector<std::uint8_t>{1, 's', 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x7f}));
    EXPECT_FALSE(decodeDefaultsValue(std::vector<std::uint8_t>{1, 'a', 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0x7f}));
}

TEST(DefaultsValue, DictionaryKeysMustBeAscendingAndUnique) {
    // {"b": true, "a": true} written by hand in the wrong order, then with a repeated key.
    std::vector<std::uint8_t> bytes{1, 'D', 2, 0, 0, 0, 0, 0, 0, 0};
    auto key = [&](char k) {
        bytes.insert(bytes.end(), {1, 0, 0, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(k), 'b', 1});
    };
    key('b');
    key('a');
    EXPECT_FALSE(decodeDefaultsValue(bytes));
    bytes.resize(10);
    key('a');
    key('a');
    EXPECT_FALSE(decodeDefaultsValue(bytes));
    bytes.resize(10);
    key('a');
    key('b');
    EXPECT_TRUE(decodeDefaultsValue(bytes));
}

TEST(DefaultsValue, NestingIsBoundedSoDecodingCannotExhaustTheStack) {
    DefaultsValue deep = 1;
    for (size_t i = 1; i < kMaximumDefaultsValueDepth; ++i) deep = DefaultsValue::Array{deep};
    EXPECT_EQ(deep.depth(), kMaximumDefaultsValueDepth);
    EXPECT_TRUE(roundTrip(deep));

    // Far deeper than allowed, built by hand: rejected without recursing through all of it.
    std::vector<std::uint8_t> bytes{1};
    for (int i = 0; i < 200000; ++i) bytes.insert(bytes.end(), {'a', 1, 0, 0, 0, 0, 0, 0, 0});
    bytes.insert(bytes.end(), {'b', 1});
    EXPECT_FALSE(decodeDefaultsValue(bytes));
}

TEST(DefaultsValue, TypeRawValues) {
    EXPECT_EQ(rawValue(DefaultsValueType::dictionary), "dictionary");
    EXPECT_EQ(defaultsValueTypeFromRawValue("real"), DefaultsValueType::real);
    EXPECT_EQ(defaultsValueTypeFromRawValue("Real"), std::nullopt);
}
