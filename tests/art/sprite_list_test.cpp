#include "engine/art/sprite_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/art/sprite.h"

namespace kq::test {

namespace {

SharedPtr<Sprite> made()
{
    return SharedPtr<Sprite>(new Sprite);
}

// The members in order, followed through `next` from the front.
std::vector<Sprite*> chain(const SpriteList<Sprite>& list)
{
    std::vector<Sprite*> members;
    for (Sprite* member = list.front(); member; member = list.next(member))
        members.push_back(member);
    return members;
}

}

TEST(SpriteList, MembershipAndOrderFollowEveryChange)
{
    SpriteList<Sprite> list;
    const SharedPtr<Sprite> a = made(), b = made(), c = made(), d = made();
    list.push_back(a);
    list.push_back(b);
    list.push_back(c);
    EXPECT_TRUE(list.erase(b.get()));
    EXPECT_FALSE(list.erase(b.get()));
    EXPECT_FALSE(list.contains(b.get()));
    EXPECT_EQ(list.next(b.get()), nullptr);
    EXPECT_EQ(chain(list), (std::vector<Sprite*>{a.get(), c.get()}));

    list.push_back(b);
    list.insert_before(d, [&](Sprite* entry) { return entry == c.get(); });
    EXPECT_EQ(chain(list), (std::vector<Sprite*>{a.get(), d.get(), c.get(), b.get()}));
    EXPECT_EQ(list.size(), 4u);

    list.clear();
    EXPECT_TRUE(list.empty());
    for (const SharedPtr<Sprite>& member : {a, b, c, d})
        EXPECT_FALSE(list.contains(member.get()));
    list.push_back(a);
    EXPECT_EQ(chain(list), (std::vector<Sprite*>{a.get()}));
}

TEST(SpriteList, MembersRemovedAndAddedInsideAWalkAreKnownAtOnce)
{
    SpriteList<Sprite> list;
    std::vector<SharedPtr<Sprite>> members;
    for (int i = 0; i < 6; ++i) {
        members.push_back(made());
        list.push_back(members.back());
    }
    const SharedPtr<Sprite> late = made();
    std::vector<Sprite*> visited;
    list.walk([&](const SharedPtr<Sprite>& member) {
        visited.push_back(member.get());
        if (member == members[1] && visited.size() == 2) {
            // The visited member and one not reached yet leave; one is appended.
            EXPECT_TRUE(list.erase(member.get()));
            EXPECT_TRUE(list.erase(members[4].get()));
            EXPECT_FALSE(list.contains(members[4].get()));
            list.push_back(late);
            EXPECT_TRUE(list.contains(late.get()));
        }
        if (member == members[3]) {
            // A member that left during this walk comes back at the end.
            list.push_back(members[1]);
        }
    });
    EXPECT_EQ(visited, (std::vector<Sprite*>{members[0].get(), members[1].get(), members[2].get(),
                                             members[3].get(), members[5].get(), late.get(), members[1].get()}));
    EXPECT_EQ(chain(list), (std::vector<Sprite*>{members[0].get(), members[2].get(), members[3].get(),
                                                 members[5].get(), late.get(), members[1].get()}));
    EXPECT_EQ(list.size(), 6u);
}

TEST(SpriteList, ALongListKeepsEveryMemberFindable)
{
    SpriteList<Sprite> list;
    std::vector<SharedPtr<Sprite>> members;
    for (int i = 0; i < 5000; ++i) {
        members.push_back(made());
        list.push_back(members.back());
    }
    for (std::size_t i = 0; i < members.size(); i += 2)
        list.erase(members[i].get());
    EXPECT_EQ(list.size(), 2500u);
    for (std::size_t i = 0; i < members.size(); ++i)
        ASSERT_EQ(list.contains(members[i].get()), i % 2 == 1) << i;
    EXPECT_EQ(list.next(members[1].get()), members[3].get());
    EXPECT_EQ(list.next(members.back().get()), nullptr);
}

}
