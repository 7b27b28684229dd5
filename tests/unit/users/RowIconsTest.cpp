// The icon icons of a participant row over roles, hover and private data.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "UserRecords.h"
#include "dialogs/users/RowIcons.h"
#include "dialogs/users/UserTree.h"

using namespace yav::users;
using users_test::Person;
using users_test::Record;

namespace {

TreeUser User(const Person& person, std::uint32_t group = 0, bool listened = false) {
    TreeUser user = MakeTreeUser(Record(person));
    user.privateBlock[0] = static_cast<std::uint8_t>(group);
    user.privateBlock[9] = listened ? 1 : 0;
    return user;
}

}  // namespace

TEST(RowIcons, SlotTable) {
    const LocalRole member{false, false, 0};
    const LocalRole chair{true, true, 0};
    const LocalRole presenter{true, false, 0};
    struct Case {
        const char* what;
        TreeUser user;
        std::uint8_t hover;
        LocalRole local;
        RowIconSlots icons;
    };
    using N = TreeNode;
    const std::vector<Case> cases = {
        {"plain member, no hover", User({.id = 8}), N::kHoverNone, member, {1, -1, -1, -1}},
        {"chair kind icon",
         User({.id = 8, .kind = USER_KIND_TEMP_ADMIN}),
         N::kHoverNone,
         member,
         {0, -1, -1, -1}},
        {"row hover of a chair shows the idle icons",
         User({.id = 8}),
         N::kHoverRow,
         chair,
         {1, 24, 12, -1}},
        {"row hover of a member shows nothing more",
         User({.id = 8}),
         N::kHoverRow,
         member,
         {1, -1, -1, -1}},
        {"presenter, hovered",
         User({.id = 8, .presenter = 2}),
         N::kHoverPresenter,
         chair,
         {1, 21, -1, -1}},
        {"queued", User({.id = 8, .presenter = 1}), N::kHoverRow, presenter, {1, 22, 12, -1}},
        {"idle presenter icon hovered",
         User({.id = 8}),
         N::kHoverPresenter,
         chair,
         {1, 25, -1, -1}},
        {"speaking", User({.id = 8, .speak = 2}), N::kHoverNone, member, {1, -1, 10, -1}},
        {"speaking, hovered", User({.id = 8, .speak = 2}), N::kHoverAudio, chair, {1, -1, 15, -1}},
        {"asking", User({.id = 8, .speak = 1}), N::kHoverAudio, chair, {1, -1, 16, -1}},
        {"listened to beats asking",
         User({.id = 8, .speak = 1}, 0, true),
         N::kHoverNone,
         member,
         {1, -1, 13, -1}},
        {"idle audio hovered", User({.id = 8}), N::kHoverAudio, chair, {1, -1, 17, -1}},
        {"no audio device",
         User({.id = 8, .speak = 2, .audio = 0}),
         N::kHoverNone,
         member,
         {1, -1, -1, -1}},
        {"voice group of another: hidden from a member",
         User({.id = 8, .speak = 2}, 3),
         N::kHoverNone,
         member,
         {1, -1, -1, -1}},
        {"voice group of another: shown to an administrator",
         User({.id = 8, .speak = 2}, 3),
         N::kHoverAudio,
         chair,
         {1, -1, 19, -1}},
        {"same voice group",
         User({.id = 8}, 3),
         N::kHoverNone,
         LocalRole{false, false, 3},
         {1, -1, 14, -1}},
        {"my private data unknown",
         User({.id = 8, .speak = 2}),
         N::kHoverNone,
         LocalRole{true, true, std::nullopt},
         {1, -1, -1, -1}},
        {"one channel",
         User({.id = 8, .owned = 1, .channels = 1}),
         N::kHoverNone,
         member,
         {1, -1, -1, 4}},
        {"one channel hovered",
         User({.id = 8, .owned = 1, .channels = 1}),
         N::kHoverVideo,
         chair,
         {1, -1, -1, 5}},
        {"one channel broadcast",
         User({.id = 8, .owned = 1, .channels = 1, .broadcast = 1}),
         N::kHoverNone,
         member,
         {1, -1, -1, 2}},
        {"one channel broadcast hovered",
         User({.id = 8, .owned = 1, .channels = 1, .broadcast = 1}),
         N::kHoverVideo,
         chair,
         {1, -1, -1, 3}},
        {"several channels whatever the hover",
         User({.id = 8, .owned = 3, .channels = 2}),
         N::kHoverVideo,
         chair,
         {1, -1, -1, 6}},
        {"several channels, one broadcast",
         User({.id = 8, .owned = 3, .channels = 2, .broadcast = 2}),
         N::kHoverVideo,
         chair,
         {1, -1, -1, 7}},
        {"broadcast bit beyond the count",
         User({.id = 8, .owned = 1, .channels = 1, .broadcast = 4}),
         N::kHoverNone,
         member,
         {1, -1, -1, 4}},
        {"channels counted but none owned",
         User({.id = 8, .owned = 0, .channels = 1}),
         N::kHoverNone,
         member,
         {1, -1, -1, -1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowIcons(c.user, c.hover, c.local), c.icons) << c.what;
    }
}

TEST(RowIcons, ScaledSlotsTakeTheNextImageAboveOnePointOne) {
    EXPECT_EQ(SlotImageId(0, 1.0), 856u);
    EXPECT_EQ(SlotImageId(0, 1.5), 857u);
    EXPECT_EQ(SlotImageId(6, 1.5), 1176u);
    EXPECT_EQ(SlotImageId(25, 1.1), 1022u);
    EXPECT_EQ(SlotImageId(26, 1.0), 0u);
    EXPECT_EQ(SlotImageId(-1, 1.0), 0u);
}
