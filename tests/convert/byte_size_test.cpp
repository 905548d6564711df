#include "convert/byte_size.h"

#include <gtest/gtest.h>

#include <QString>

#include <string>

namespace quillmere {
namespace {

struct SizeCase {
    std::string text;
    std::optional<std::uint64_t> expected;
};

class ParseByteSize : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ParseByteSize, ReadsWhatUsersWrite) {
    EXPECT_EQ(parseByteSize(QString::fromStdString(GetParam().text)), GetParam().expected);
}

constexpr std::uint64_t kKi = 1024;

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseByteSize,
    ::testing::Values(
        SizeCase{"1", 1}, SizeCase{"4096", 4096}, SizeCase{"100B", 100}, SizeCase{"100b", 100},
        SizeCase{"8K", 8 * kKi}, SizeCase{"8k", 8 * kKi}, SizeCase{"8KB", 8 * kKi},
        SizeCase{"8KiB", 8 * kKi}, SizeCase{"8kib", 8 * kKi}, SizeCase{"512M", 512 * kKi* kKi},
        SizeCase{"512MiB", 512 * kKi* kKi}, SizeCase{"2G", 2 * kKi* kKi* kKi},
        SizeCase{"2gb", 2 * kKi* kKi* kKi}, SizeCase{"3T", 3 * kKi* kKi* kKi* kKi},
        SizeCase{"0012M", 12 * kKi* kKi},
        // The largest value and one past it.
        SizeCase{"18446744073709551615", 18446744073709551615ull},
        SizeCase{"18446744073709551616", std::nullopt},
        SizeCase{"16777215T", 16777215 * kKi* kKi* kKi* kKi}, SizeCase{"16777216T", std::nullopt},
        SizeCase{"99999999999999999999K", std::nullopt},
        // Refused: nothing, zero, signs, fractions, spaces, unknown units.
        SizeCase{"", std::nullopt}, SizeCase{"0", std::nullopt}, SizeCase{"0G", std::nullopt},
        SizeCase{"-1G", std::nullopt}, SizeCase{"+1G", std::nullopt},
        SizeCase{"1.5G", std::nullopt}, SizeCase{" 1G", std::nullopt},
        SizeCase{"1 G", std::nullopt}, SizeCase{"1G ", std::nullopt}, SizeCase{"G", std::nullopt},
        SizeCase{"1P", std::nullopt}, SizeCase{"1GG", std::nullopt},
        SizeCase{"1GiBs", std::nullopt}, SizeCase{"1iB", std::nullopt},
        SizeCase{"١٢", std::nullopt}, SizeCase{"lots", std::nullopt}),
    [](const auto& info) {
        std::string name = "case" + std::to_string(info.index);
        return name;
    });

}  // namespace
}  // namespace quillmere
