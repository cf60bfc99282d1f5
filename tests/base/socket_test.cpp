#include "engine/base/socket.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace kq {
namespace {

using IntSocket = Socket<void(int)>;

const int owner_a = 0;
const int owner_b = 0;
const int owner_c = 0;

// Each case acts on one socket during the emission of the value 1, then emits 2.
struct EmissionCase
{
    const char* title;
    void (*setup)(IntSocket& socket, std::string& trace);
    const char* expected;
};

void record(IntSocket& socket, std::string& trace, const char* name, const void* owner)
{
    socket.connect([&trace, name](int value) { trace += name + std::to_string(value) + " "; },
                   owner);
}

TEST(SocketTest, EmissionCallsTheHandlersOfTheMoment)
{
    const EmissionCase cases[] = {
        {"handlers run in connection order",
         [](IntSocket& s, std::string& t) {
             record(s, t, "A", &owner_a);
             record(s, t, "B", &owner_b);
         },
         "A1 B1 A2 B2 "},
        {"a handler disconnecting itself is called once; later handlers still are",
         [](IntSocket& s, std::string& t) {
             s.connect([&s, &t](int v) {
                 t += "A" + std::to_string(v) + " ";
                 s.disconnect(&owner_a);
             }, &owner_a);
             record(s, t, "B", &owner_b);
         },
         "A1 B1 B2 "},
        {"a handler disconnecting the next one skips it",
         [](IntSocket& s, std::string& t) {
             s.connect([&s, &t](int v) {
                 t += "A" + std::to_string(v) + " ";
                 s.disconnect(&owner_b);
             }, &owner_a);
             record(s, t, "B", &owner_b);
             record(s, t, "C", &owner_c);
         },
         "A1 C1 A2 C2 "},
        {"a handler connected during the emission is called in it",
         [](IntSocket& s, std::string& t) {
             s.connect([&s, &t](int v) {
                 t += "A" + std::to_string(v) + " ";
                 if (v == 1)
                     record(s, t, "N", &owner_c);
             }, &owner_a);
             record(s, t, "B", &owner_b);
         },
         "A1 B1 N1 A2 B2 N2 "},
        {"one owner may connect several handlers and loses all of them",
         [](IntSocket& s, std::string& t) {
             record(s, t, "A", &owner_a);
             record(s, t, "B", &owner_b);
             record(s, t, "A", &owner_a);
             s.disconnect(&owner_a);
             s.disconnect(&owner_c);
         },
         "B1 B2 "},
    };
    for (const EmissionCase& c : cases) {
        SCOPED_TRACE(c.title);
        std::string trace;
        IntSocket socket;
        c.setup(socket, trace);
        socket.emit(1);
        socket.emit(2);
        EXPECT_EQ(trace, c.expected);
    }
}

TEST(SocketTest, AHandlerDisconnectingItselfKeepsItsOwnState)
{
    Socket<void()> socket;
    std::string seen;
    const std::string name(100, 'x');
    socket.connect([&, name] {
        socket.disconnect(&owner_a);
        seen = name;
    }, &owner_a);
    socket.emit();
    EXPECT_EQ(seen, name);
}

TEST(SocketTest, SocketsKeepTheirOwnHandlers)
{
    std::string trace;
    IntSocket first;
    IntSocket second;
    record(first, trace, "F", &owner_a);
    record(second, trace, "S", &owner_a);
    {
        IntSocket copy(first);
        copy.emit(0);
        record(copy, trace, "C", &owner_a);
    }
    second.disconnect(&owner_b);
    first.emit(1);
    second.emit(2);
    EXPECT_EQ(trace, "F1 S2 ");
}

TEST(SocketTest, AHandlerMayDestroyTheSocketItRunsFrom)
{
    auto socket = std::make_unique<Socket<void()>>();
    int calls = 0;
    socket->connect([&] { ++calls; socket.reset(); }, &owner_a);
    socket->connect([&] { ++calls; }, &owner_b);
    socket->emit();
    EXPECT_EQ(calls, 1);
}

TEST(SocketTest, AnEmptyHandlerStopsTheEmissionThere)
{
    std::string trace;
    IntSocket socket;
    record(socket, trace, "A", &owner_a);
    socket.connect(IntSocket::Handler(), &owner_b);
    record(socket, trace, "C", &owner_c);
    EXPECT_THROW(socket.emit(1), std::bad_function_call);
    EXPECT_EQ(trace, "A1 ");
    socket.disconnect(&owner_b);
    socket.emit(2);
    EXPECT_EQ(trace, "A1 A2 C2 ");
}

TEST(SocketTest, NestedEmissionsOfOneSignatureShareTheirMapSafely)
{
    // The handlers of both sockets live in one map: the inner emission must not end the
    // outer walk, nor may the outer handler's removal of the inner socket's handlers.
    std::string trace;
    IntSocket outer;
    auto inner = std::make_unique<IntSocket>();
    outer.connect([&](int v) {
        trace += "O" + std::to_string(v) + " ";
        inner->emit(v * 10);
    }, &owner_a);
    record(outer, trace, "P", &owner_b);
    inner->connect([&](int v) {
        trace += "I" + std::to_string(v) + " ";
        outer.disconnect(&owner_b);
        inner.reset();
    }, &owner_a);
    outer.emit(1);
    EXPECT_EQ(trace, "O1 I10 ");
    inner = std::make_unique<IntSocket>();
    outer.emit(2);
    EXPECT_EQ(trace, "O1 I10 O2 ");
}

enum class TestKey : int { a = 65 };
enum class TestKeyState : int { down = 0, up = 1 };
struct TestPoint
{
    int x;
    int y;
};

TEST(SocketTest, TheEmitFamilyHandsEachArgumentShapeToTheHandlers)
{
    std::string trace;
    Socket<void()> none;
    Socket<void(bool)> flag;
    Socket<void(unsigned char)> character;
    Socket<void(int)> value;
    Socket<void(TestPoint)> point;
    Socket<void(TestKey, TestKeyState)> key;
    none.connect([&] { trace += "void "; }, &owner_a);
    flag.connect([&](bool on) { trace += on ? "true " : "false "; }, &owner_a);
    character.connect([&](unsigned char c) { trace += std::string(1, char(c)) + " "; }, &owner_a);
    value.connect([&](int n) { trace += std::to_string(n) + " "; }, &owner_a);
    point.connect([&](TestPoint p) { trace += std::to_string(p.x) + "," + std::to_string(p.y) + " "; },
                  &owner_a);
    key.connect([&](TestKey k, TestKeyState s) {
        trace += std::to_string(int(k)) + "/" + std::to_string(int(s)) + " ";
    }, &owner_a);

    none.emit_void();
    flag.emit_void(true);
    flag.emit_bool(false);
    character.emit_void('x');
    value.emit_value(-7);
    point.emit_pair(TestPoint{3, 4});
    key.emit_pair({TestKey::a, TestKeyState::up});
    key.emit_key_state(TestKey::a, TestKeyState::down);
    EXPECT_EQ(trace, "void true false x -7 3,4 65/1 65/0 ");
}

}
}
