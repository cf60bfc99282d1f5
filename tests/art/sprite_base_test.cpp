#include "engine/art/sprite_base.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "art_test_support.h"
#include "engine/base/class_desc.h"
#include "engine/base/clone.h"
#include "tests/base/log_capture.h"
#include "tests/res/test_skin_environment.h"

namespace kq::test {

/// A tree member that counts its updates and runs an optional hook inside each.
class Probe : public SpriteBase
{
public:
    explicit Probe(std::string name = "") : m_name(std::move(name)) {}
    Probe(const Probe&) = default;

    void update(const TimeStamp& stamp) override
    {
        ++m_updates;
        if (m_on_update)
            m_on_update(*this);
        SpriteBase::update(stamp);
    }

    std::string m_name;
    int m_updates = 0;
    std::function<void(Probe&)> m_on_update;
};

}

KQ_TYPE_NAME(kq::test::Probe, "class kq::test::Probe");

namespace kq::test {

using testing::HasSubstr;

namespace {

SharedPtr<Probe> probe(const char* name = "", SpriteTimer* timer = nullptr, bool transient = false)
{
    SharedPtr<Probe> made(new Probe(name));
    if (timer)
        made->set_timer(timer);
    made->set_transient(transient);
    return made;
}

SpriteTimer* timer_of(std::int32_t period, SpriteTimer::Cyclic cyclic = SpriteTimer::Cyclic::none)
{
    auto* timer = new SpriteTimer;
    timer->set_period(period);
    timer->set_cyclic(cyclic);
    return timer;
}

TimeStamp at(std::int32_t time, std::uint32_t clock = TimeStamp::millisecond_clock)
{
    return TimeStamp{clock, time, nullptr};
}

std::vector<SpriteBase*> members(SpriteBase& object)
{
    std::vector<SpriteBase*> found;
    object.controllers().walk([&found](const SharedPtr<SpriteBase>& member) { found.push_back(member.get()); });
    return found;
}

struct RegisterProbe
{
    RegisterProbe() { rtti::ClassDesc<Probe>::instance().add_base<SpriteBase>(); }
};

}

TEST(SpriteBase, StateMaskSwitchesTheObjectAndItsControllers)
{
    SharedPtr<Probe> root = probe("root");
    SharedPtr<Probe> member = probe("member");
    SharedPtr<Probe> leaf = probe("leaf");
    root->set_state_mask(0x4);
    root->set_state_value(0x4);
    root->add_controller(member);
    member->add_controller(leaf);

    const struct Step {
        std::uint32_t state;
        bool root_active, leaf_active;
    } steps[] = {{0x4, true, true}, {0x5, true, true}, {0x1, false, false}, {0x0, false, false}, {0x6, true, true}};
    for (const Step& step : steps) {
        root->set_state(step.state);
        root->tick(at(static_cast<std::int32_t>(step.state) * 10));
        EXPECT_EQ(root->is_active_chain(true), step.root_active) << step.state;
        EXPECT_EQ(leaf->state(), step.state) << "members carry the parent's word";
        EXPECT_EQ(leaf->is_active(), step.leaf_active) << step.state;
        EXPECT_EQ(leaf->is_active_chain(false), true) << "the leaf's own bits always match";
    }
    EXPECT_EQ(root->m_updates, 3) << "only ticks with matching bits update";

    SpriteBase plain;
    plain.start();
    EXPECT_TRUE(plain.is_active());
}

TEST(SpriteBase, FlagsAndNamedFieldsChangeTheStateWord)
{
    SharedPtr<LogicHolder> holder(new LogicHolder);
    holder->m_logic = new SpriteLogic;
    holder->m_logic->state_fields().push_back({StrCache("phase"), 3, {}, 4});
    holder->m_logic->state_fields().push_back({StrCache("odd"), 40, {}, 31});
    SharedPtr<Probe> member = probe();
    holder->add_controller(member);

    const struct Case {
        const char* field;
        std::uint32_t value, before, after;
    } cases[] = {
        {"phase", 5, 0x0, 0x50}, {"phase", 9, 0xFFFFFFFF, 0xFFFFFF9F}, {"phase", 0, 0x70, 0x0},
        {"odd", 3, 0x0, 0x80000000}, {"absent", 1, 0x3, 0x3},
    };
    for (const Case& c : cases) {
        holder->set_state(c.before);
        holder->set_state_field(StrCache(c.field), c.value);
        EXPECT_EQ(holder->state(), c.after) << c.field << " " << c.value;
        EXPECT_EQ(member->state(), c.after);
    }
    ASSERT_NE(member->find_state_field(StrCache("phase")), nullptr) << "members find the nearest logic";
    EXPECT_EQ(member->find_state_field(StrCache("phase"))->shift, 4);
    EXPECT_EQ(SpriteBase().find_state_field(StrCache("phase")), nullptr);

    holder->set_state(0xF0);
    holder->set_flags(0x30, 0x11);
    EXPECT_EQ(holder->state(), 0xD0u);
}

TEST(SpriteBase, ControllersAreAddedOnceAndNullIsLogged)
{
    LogCapture log;
    SharedPtr<Probe> root = probe();
    SharedPtr<Probe> member = probe();
    root->set_state(0x9);
    root->add_controller(member);
    root->add_controller(member);
    root->add_controller(SharedPtr<SpriteBase>());
    EXPECT_EQ(members(*root).size(), 1u);
    EXPECT_EQ(member->parent(), root.get());
    EXPECT_EQ(member->state(), 0x9u);
    EXPECT_THAT(log.text("error"), HasSubstr("\nCan't add NULL controller\n"));

    member->tick(at(0));
    EXPECT_TRUE(member->is_started());
    root->remove_controller(member.get());
    EXPECT_TRUE(root->controllers().empty());
    EXPECT_EQ(member->parent(), nullptr);
    EXPECT_FALSE(member->is_started());
}

TEST(SpriteBase, TransientControllerLeavesBeforeLaterOnesAreTicked)
{
    SharedPtr<Probe> root = probe();
    SharedPtr<Probe> once = probe("once", timer_of(100), true);
    SharedPtr<Probe> later = probe("later");
    root->add_controller(once);
    root->add_controller(later);
    bool once_listed_for_later = true;
    later->m_on_update = [&](Probe&) { once_listed_for_later = root->controllers().contains(once.get()); };

    const struct Step {
        std::int32_t time;
        bool listed;
    } steps[] = {{0, true}, {100, true}, {101, false}, {500, false}};
    for (const Step& step : steps) {
        root->tick(at(step.time));
        EXPECT_EQ(root->controllers().contains(once.get()), step.listed) << step.time;
        EXPECT_EQ(once_listed_for_later, step.listed) << step.time;
    }
    EXPECT_EQ(once->parent(), nullptr);
    EXPECT_FALSE(once->is_started());
    EXPECT_EQ(once->m_updates, 3);
}

TEST(SpriteBase, AStampAlreadySeenSkipsTheMember)
{
    SharedPtr<Probe> root = probe("root", timer_of(1000, SpriteTimer::Cyclic::loop));
    SharedPtr<Probe> member = probe("member");
    root->add_controller(member);
    const struct Step {
        TimeStamp stamp;
        int updates;
    } steps[] = {{at(10), 1}, {at(10), 1}, {at(20), 2}, {at(20, 3), 3}, {at(20, 3), 4}, {at(30), 5}};
    for (const Step& step : steps) {
        root->tick(step.stamp);
        EXPECT_EQ(root->m_updates, step.updates) << step.stamp.time << "/" << step.stamp.clock;
        EXPECT_EQ(member->m_updates, step.updates);
    }
    EXPECT_EQ(root->timer()->current_time(), 30);
}

TEST(SpriteBase, ParameterTimerFollowsItsOwnClock)
{
    SharedPtr<Probe> root = probe();
    SpriteTimer* timer = timer_of(100);
    timer->set_parameter(3);
    root->set_timer(timer);
    root->tick(at(40));
    EXPECT_FALSE(timer->is_started()) << "the millisecond clock does not move it";
    root->tick(at(40, 3));
    EXPECT_EQ(timer->local_time(), 40);
    EXPECT_EQ(root->m_updates, 2);
}

TEST(SpriteBase, FinishRestsOnTheTimerAndTheControllers)
{
    using Cyclic = SpriteTimer::Cyclic;
    // The root runs 100 ms (once or looping); its member runs once for 100 or 1000 ms.
    const struct Case {
        Cyclic root_cyclic;
        std::int32_t time;
        std::int32_t member_period;
        bool finished;
    } cases[] = {
        {Cyclic::none, 50, 100, false}, {Cyclic::none, 150, 100, true},  {Cyclic::none, 150, 1000, false},
        {Cyclic::loop, 150, 1000, false}, {Cyclic::loop, 150, 100, true}, {Cyclic::loop, 50, 100, false},
        {Cyclic::pingpong, 1001, 1000, true},
    };
    for (const Case& c : cases) {
        SharedPtr<Probe> root = probe("root", timer_of(100, c.root_cyclic));
        SharedPtr<Probe> member = probe("member", timer_of(c.member_period));
        root->add_controller(member);
        root->tick(at(0));
        root->tick(at(c.time));
        EXPECT_EQ(root->is_finished(), c.finished)
            << static_cast<int>(c.root_cyclic) << " " << c.time << " " << c.member_period;
    }
    EXPECT_TRUE(SpriteBase().is_finished());
    EXPECT_FALSE(probe("", timer_of(100))->is_finished()) << "a run not begun is not over";
    EXPECT_TRUE(probe("", timer_of(100, Cyclic::loop))->is_finished()) << "a looping timer rests on its members";
}

TEST(SpriteBase, ForEachVisitsWhatTheFlagsAsk)
{
    SharedPtr<Probe> root = probe("root");
    SharedPtr<Probe> a = probe("a");
    SharedPtr<Probe> a1 = probe("a1");
    SharedPtr<Probe> b = probe("b");
    root->add_controller(a);
    a->add_controller(a1);
    root->add_controller(b);
    const struct Case {
        std::uint32_t flags;
        const char* visited;
    } cases[] = {{7, "root a a1 b"}, {6, "a a1 b"}, {2, "a b"}, {3, "root a b"}, {1, "root"}, {0, ""}, {4, "a1"}};
    for (const Case& c : cases) {
        std::string visited;
        root->for_each([&visited](SpriteBase* object) { visited += (visited.empty() ? "" : " ") + static_cast<Probe*>(object)->m_name; },
                       c.flags);
        EXPECT_EQ(visited, c.visited) << c.flags;
    }
    EXPECT_THROW(root->for_each({}, 7), std::bad_function_call);
}

TEST(SpriteBase, ControllersMayChangeTheListFromInsideTheWalk)
{
    SharedPtr<Probe> root = probe();
    SharedPtr<Probe> quitter = probe("quitter");
    SharedPtr<Probe> victim = probe("victim");
    SharedPtr<Probe> added = probe("added");
    root->add_controller(quitter);
    root->add_controller(victim);
    Probe* victim_object = victim.get();
    quitter->m_on_update = [&](Probe& self) {
        root->remove_controller(victim_object);
        root->remove_controller(&self);
        root->add_controller(added);
    };
    quitter = SharedPtr<Probe>();  // the list holds the only references now
    victim = SharedPtr<Probe>();
    root->tick(at(0));
    ASSERT_EQ(members(*root), std::vector<SpriteBase*>{added.get()});
    EXPECT_EQ(added->m_updates, 1) << "a member added behind the walk is reached by it";

    // Every member removing itself while the parent resets.
    SharedPtr<Probe> host = probe();
    for (int i = 0; i < 3; ++i) {
        SharedPtr<Probe> member = probe();
        member->m_on_update = [&host](Probe& self) { host->remove_controller(&self); };
        host->add_controller(member);
    }
    host->tick(at(0));
    EXPECT_TRUE(host->controllers().empty());
}

TEST(SpriteBase, ResetAndRewindDropTransientControllers)
{
    for (bool use_reset : {true, false}) {
        SharedPtr<Probe> root = probe("root", timer_of(100));
        SharedPtr<Probe> keep = probe("keep", timer_of(100));
        SharedPtr<Probe> once = probe("once", timer_of(1000), true);
        root->add_controller(keep);
        root->add_controller(once);
        root->tick(at(0));
        root->tick(at(50));
        EXPECT_TRUE(keep->timer()->is_started());
        if (use_reset)
            root->reset();
        else
            root->rewind(true);
        EXPECT_EQ(members(*root), std::vector<SpriteBase*>{keep.get()}) << use_reset;
        EXPECT_EQ(once->parent(), nullptr);
        EXPECT_FALSE(keep->timer()->is_started());
        EXPECT_FALSE(keep->is_started());
        EXPECT_EQ(root->timer()->is_started(), !use_reset);
    }
}

TEST(SpriteBase, SetTimerTakesOwnershipAndReleasesTheOldOne)
{
    SharedPtr<Probe> object = probe();
    SpriteTimerPtr first(timer_of(100));
    SpriteTimerPtr second(timer_of(200));
    object->set_timer(first.get());
    EXPECT_EQ(first->owner(), object.get());
    EXPECT_EQ(first->links(), 2);
    object->tick(at(5));
    EXPECT_TRUE(object->is_started());
    object->set_timer(second.get());
    EXPECT_EQ(first->owner(), nullptr);
    EXPECT_EQ(first->links(), 1);
    EXPECT_EQ(second->owner(), object.get());
    EXPECT_FALSE(object->is_started());

    SharedPtr<Probe> member = probe();
    object->add_controller(member);
    EXPECT_EQ(member->find_timer(), second.get());
    object->set_timer(nullptr);
    EXPECT_EQ(member->find_timer(), nullptr);
    EXPECT_EQ(second->owner(), nullptr);
}

TEST(SpriteBase, DeepCopyClonesMembersAndLeavesTheSourceAlone)
{
    static RegisterProbe registered;
    SharedPtr<Probe> root = probe("root", timer_of(300, SpriteTimer::Cyclic::loop));
    SharedPtr<Probe> member = probe("member", timer_of(50));
    SharedPtr<Probe> leaf = probe("leaf");
    root->add_controller(member);
    member->add_controller(leaf);
    root->set_state_mask(3);
    root->set_state_value(1);
    root->set_extra(77);
    root->set_state(1);
    root->tick(at(10));

    SharedPtr<Probe> copy(rtti::clone(root.get()));
    EXPECT_EQ(copy->m_name, "root");
    EXPECT_EQ(copy->parent(), nullptr);
    EXPECT_EQ(copy->state_mask(), 3u);
    EXPECT_EQ(copy->extra(), 77u);
    EXPECT_EQ(copy->state(), 1u);
    EXPECT_FALSE(copy->is_started());
    ASSERT_NE(copy->timer(), nullptr);
    EXPECT_NE(copy->timer(), root->timer());
    EXPECT_EQ(copy->timer()->owner(), copy.get());
    EXPECT_EQ(copy->timer()->cyclic(), SpriteTimer::Cyclic::loop);
    EXPECT_FALSE(copy->timer()->is_started());

    const std::vector<SpriteBase*> copied = members(*copy);
    ASSERT_EQ(copied.size(), 1u);
    EXPECT_NE(copied[0], member.get());
    EXPECT_EQ(copied[0]->parent(), copy.get());
    EXPECT_EQ(copied[0]->timer()->period(), 50);
    EXPECT_EQ(members(*copied[0]).at(0)->parent(), copied[0]);

    // A member copied on its own becomes a root; its source keeps its place.
    SharedPtr<SpriteBase> lone(rtti::clone(static_cast<SpriteBase*>(member.get())));
    EXPECT_EQ(lone->parent(), nullptr);
    EXPECT_EQ(member->parent(), root.get());
    EXPECT_EQ(members(*root).size(), 1u);
}

TEST(SpriteBase, BinaryFormRoundTripsATree)
{
    static RegisterProbe registered;
    SharedPtr<SpriteBase> root(new SpriteBase);
    SharedPtr<SpriteBase> member(new SpriteBase);
    root->set_timer(timer_of(400, SpriteTimer::Cyclic::pingpong));
    root->set_state_mask(0xF0);
    root->set_state_value(0x10);
    root->set_extra(9);
    member->set_timer(timer_of(70));
    root->add_controller(member);
    member->add_controller(SharedPtr<SpriteBase>(new SpriteBase));

    StringBuffer buffer;
    {
        BStream out(buffer);
        out.write_shared(root);
    }
    StringBuffer input(buffer.str());
    BStream in(input);
    SharedPtr<SpriteBase> read;
    in.read_shared(read);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->state_mask(), 0xF0u);
    EXPECT_EQ(read->state_value(), 0x10u);
    EXPECT_EQ(read->extra(), 9u);
    EXPECT_EQ(read->parent(), nullptr);
    ASSERT_NE(read->timer(), nullptr);
    EXPECT_EQ(read->timer()->owner(), read.get());
    EXPECT_EQ(read->timer()->cyclic(), SpriteTimer::Cyclic::pingpong);
    const std::vector<SpriteBase*> read_members = members(*read);
    ASSERT_EQ(read_members.size(), 1u);
    EXPECT_EQ(read_members[0]->parent(), read.get());
    EXPECT_EQ(read_members[0]->timer()->period(), 70);
    EXPECT_EQ(members(*read_members[0]).size(), 1u);
}

TEST(SpriteBase, OlderAndDamagedBinaryForms)
{
    // Version 0: identity block 0, no timer, mask, value, no parent; nothing after.
    const std::string v0 = u8(0) + le32(0) + le32(0xFFFFFFFF) + le32(0xA) + le32(0x2) + le32(0xFFFFFFFF);
    SpriteBase object;
    object.set_extra(5);
    SharedPtr<SpriteBase> kept(new SpriteBase);
    object.add_controller(kept);
    load_bytes(object, v0);
    EXPECT_EQ(object.state_mask(), 0xAu);
    EXPECT_EQ(object.extra(), 5u);
    EXPECT_EQ(members(object), std::vector<SpriteBase*>{kept.get()});
    load_bytes(object, u8(1) + v0.substr(1) + le32(6));
    EXPECT_EQ(object.extra(), 6u);
    EXPECT_EQ(members(object).size(), 1u);
    load_bytes(object, u8(2) + v0.substr(1) + le32(6) + le32(0));
    EXPECT_TRUE(object.controllers().empty());

    const struct Case {
        std::string bytes;
        const char* message;
    } cases[] = {
        {u8(3) + v0.substr(1), "unsupported version."},
        {v0.substr(0, 12), "unexpected end of buffer."},
        {u8(2) + v0.substr(1) + le32(6) + le32(1000), "unexpected end of buffer."},
        // The parent names the object itself.
        {u8(0) + le32(0xFFFFFFFF) + le32(0xFFFFFFFF) + le32(0) + le32(0) + le32(0), ""},
    };
    for (const Case& c : cases) {
        SpriteBase target;
        const std::string error = error_of([&] { load_bytes(target, c.bytes); });
        if (*c.message)
            EXPECT_THAT(error, HasSubstr(c.message));
        else
            EXPECT_FALSE(error.empty());
    }
}

TEST(SpriteBase, SkinFormReadsTheTimerAndTheMask)
{
    TestSkinEnvironment skin(R"(
        timed { timer { parameter -1 period 250 cyclic loop coeff_law cos random_start false period_spread 0 }
                state_mask 0x0Ch state_value 4 }
        plain { state_mask 1 state_value 1 }
        short { state_mask 1 }
    )");
    SharedPtr<SpriteBase> timed(new SpriteBase);
    timed->read_skin(SkinPath("timed"));
    ASSERT_NE(timed->timer(), nullptr);
    EXPECT_EQ(timed->timer()->owner(), timed.get());
    EXPECT_EQ(timed->timer()->period(), 250);
    EXPECT_EQ(timed->timer()->coeff_law(), SpriteTimer::CoeffLaw::cos);
    EXPECT_EQ(timed->state_mask(), 0xCu);
    EXPECT_EQ(timed->state_value(), 4u);

    SpriteBase plain;
    plain.read_skin(SkinPath("plain"));
    EXPECT_EQ(plain.timer(), nullptr);
    EXPECT_EQ(plain.state_mask(), 1u);
    EXPECT_THAT(error_of([&] { plain.read_skin(SkinPath("short")); }), HasSubstr("node not found [short.state_value]"));
}

}
