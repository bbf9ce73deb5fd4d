#include "platform/stored_resources.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

std::string_view text(std::span<const std::byte> bytes)
{
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

TEST(StoredResources, FoundByTypeNameInAnyCaseAndId)
{
    for (const char16_t* type : {u"INDEX", u"index", u"Index"}) {
        const auto bytes = platform::findStoredResource(type, 107);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(text(*bytes), std::string_view("FWS\x06" "first resource\x00\x01", 20));
    }
    const auto anexos = platform::findStoredResource(u"ANEXOS", 106);
    ASSERT_TRUE(anexos.has_value());
    EXPECT_EQ(text(*anexos), "second");
}

TEST(StoredResources, UnknownTypeOrIdIsAbsent)
{
    EXPECT_FALSE(platform::findStoredResource(u"INDEX", 106).has_value());
    EXPECT_FALSE(platform::findStoredResource(u"PINYIN", 107).has_value());
    EXPECT_FALSE(platform::findStoredResource(u"", 0).has_value());
}

} // namespace
