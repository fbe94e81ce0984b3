// Tests of the agent's hotkey values: modifier mapping, built-in entries and the kind-6 record.
#include "common/agent/HotKeyBinding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

std::vector<uint8_t> HotKeyPayload(std::initializer_list<int32_t> values) {
    std::vector<uint8_t> bytes;
    for (int32_t value : values) {
        uint32_t u;
        std::memcpy(&u, &value, 4);
        for (int i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
        }
    }
    return bytes;
}

// Catches: swapped CTRL and SHIFT bits (the file, the record and the message each order them differently), and a
// modifier stored as 2 or -1 being ignored.
TEST(HotKeyBinding, MapsEachModifierToItsOwnBit) {
    EXPECT_EQ(common::HotKeyModifiers(1, 0, 0, 0), common::kModAlt);
    EXPECT_EQ(common::HotKeyModifiers(0, 1, 0, 0), common::kModControl);
    EXPECT_EQ(common::HotKeyModifiers(0, 0, 1, 0), common::kModShift);
    EXPECT_EQ(common::HotKeyModifiers(0, 0, 0, 1), common::kModWin);
    EXPECT_EQ(common::HotKeyModifiers(2, -1, 7, 1), 15u);
    EXPECT_EQ(common::HotKeyModifiers(0, 0, 0, 0), 0u);
}

// Catches: the four built-in entries bound to the wrong IDs or in the wrong order, and the snapshot's CTRL/SHIFT
// fields read crosswise.
TEST(HotKeyBinding, BuiltInEntriesKeepTheirIdsAndOrder) {
    common::SettingsRecord settings;
    settings.launcherOpen.key = 'O';
    settings.launcherOpen.ctrl = 1;
    settings.launcherHide.key = 'H';
    settings.launcherHide.shift = 1;
    settings.search.key = 'S';
    settings.search.win = 1;
    settings.search.alt = 1;
    auto bindings = common::BuiltInHotKeys(settings);
    EXPECT_EQ(bindings[0].id, -16);
    EXPECT_EQ(bindings[0].key, 'O');
    EXPECT_EQ(bindings[0].modifiers, common::kModControl);
    EXPECT_EQ(bindings[1].id, -15);
    EXPECT_EQ(bindings[1].modifiers, common::kModShift);
    EXPECT_EQ(bindings[2].id, -14);
    EXPECT_EQ(bindings[2].key, 0) << "an empty entry binds nothing";
    EXPECT_EQ(bindings[3].id, -13);
    EXPECT_EQ(bindings[3].modifiers, common::kModAlt | common::kModWin);
}

// Catches: the message's order (key, ALT, SHIFT, CTRL, WIN, ID) read as the record's order, the key's high bits
// kept, and a negative ID losing its sign.
TEST(HotKeyBinding, ReadsTheKindSixRecordInMessageOrder) {
    auto payload = HotKeyPayload({0x1241, 0, 1, 0, 0, -7});
    auto binding = common::ReadHotKeyPayload(payload.data(), payload.size());
    ASSERT_TRUE(binding);
    EXPECT_EQ(binding->key, 0x41);
    EXPECT_EQ(binding->modifiers, common::kModShift);
    EXPECT_EQ(binding->id, -7);

    payload = HotKeyPayload({0, 0, 0, 1, 0, 42});
    binding = common::ReadHotKeyPayload(payload.data(), payload.size());
    ASSERT_TRUE(binding);
    EXPECT_EQ(binding->modifiers, common::kModControl);
    EXPECT_EQ(binding->key, 0) << "key 0 only unregisters";
}

// Catches: reading past a short payload, and a longer one read by its first six fields.
TEST(HotKeyBinding, ReadsAPayloadOfExactlySixFields) {
    auto payload = HotKeyPayload({65, 0, 0, 0, 0, 1, 0});
    EXPECT_FALSE(common::ReadHotKeyPayload(payload.data(), 20));
    EXPECT_FALSE(common::ReadHotKeyPayload(payload.data(), 23));
    EXPECT_FALSE(common::ReadHotKeyPayload(nullptr, 24));
    EXPECT_FALSE(common::ReadHotKeyPayload(payload.data(), 28));
    auto binding = common::ReadHotKeyPayload(payload.data(), 24);
    ASSERT_TRUE(binding);
    EXPECT_EQ(binding->id, 1);
}

// Catches: a key taken from the wrong unit, or an empty SHORTCUT read as garbage.
TEST(HotKeyBinding, KeyIsTheLowByteOfTheFirstUnit) {
    EXPECT_EQ(common::HotKeyFromText(u"K9"), 'K');
    EXPECT_EQ(common::HotKeyFromText(u"\u0131"), 0x31);
    EXPECT_EQ(common::HotKeyFromText(u""), 0);
}

}  // namespace
