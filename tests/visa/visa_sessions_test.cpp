// Session life cycle, stale and null arguments, and use from several threads.
#include <atomic>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "visa_test_support.h"

namespace kqvisatest {
namespace {

class SessionsTest : public VisaTest {};

// One call of every instrument operation on `session`; each must refuse a handle that is not open.
struct SessionCall {
    const char* name;
    std::function<ViStatus(ViSession)> call;
};

std::vector<SessionCall> instrumentCalls() {
    static ViByte buffer[16];
    static ViUInt16 word;
    static ViUInt32 count;
    static ViAddr address;
    static ViInt32 number;
    return {
        {"viWrite", [](ViSession s) { return viWrite(s, reinterpret_cast<ViConstBuf>("*IDN?"), 5, &count); }},
        {"viRead", [](ViSession s) { return viRead(s, buffer, sizeof buffer, &count); }},
        {"viPrintf", [](ViSession s) { return viPrintf(s, "x\n"); }},
        {"viScanf", [](ViSession s) { return viScanf(s, "%d", &number); }},
        {"viQueryf", [](ViSession s) { return viQueryf(s, "x?\n", "%d", &number); }},
        {"viClear", [](ViSession s) { return viClear(s); }},
        {"viReadSTB", [](ViSession s) { return viReadSTB(s, &word); }},
        {"viFlush", [](ViSession s) { return viFlush(s, VI_WRITE_BUF); }},
        {"viIn16", [](ViSession s) { return viIn16(s, VI_A16_SPACE, 0x20, &word); }},
        {"viOut16", [](ViSession s) { return viOut16(s, VI_A16_SPACE, 0x20, 1); }},
        {"viMoveOut16", [](ViSession s) { return viMoveOut16(s, VI_A16_SPACE, 0x20, 1, &word); }},
        {"viMoveIn16", [](ViSession s) { return viMoveIn16(s, VI_A16_SPACE, 0x20, 1, &word); }},
        {"viMapAddress",
         [](ViSession s) { return viMapAddress(s, VI_A16_SPACE, 0x20, 0x20, VI_FALSE, VI_NULL, &address); }},
        {"viUnmapAddress", [](ViSession s) { return viUnmapAddress(s); }},
        {"viGetAttribute", [](ViSession s) { return viGetAttribute(s, VI_ATTR_SLOT, &word); }},
        {"viSetAttribute", [](ViSession s) { return viSetAttribute(s, VI_ATTR_TMO_VALUE, 10); }},
        {"viStatusDesc",
         [](ViSession s) { return viStatusDesc(s, VI_SUCCESS, reinterpret_cast<ViChar*>(buffer)); }},
        {"viDisableEvent", [](ViSession s) { return viDisableEvent(s, VI_ALL_ENABLED_EVENTS, VI_ALL_MECH); }},
        {"viClose", [](ViSession s) { return viClose(s); }},
    };
}

TEST_F(SessionsTest, ClosedAndUnknownHandlesAreRefused) {
    const ViSession session = open("VXI0::24::INSTR");
    ASSERT_EQ(viClose(session), VI_SUCCESS);
    for (const ViSession stale : {session, ViSession{0xDEADBEEF}}) {
        for (const SessionCall& operation : instrumentCalls()) {
            EXPECT_EQ(operation.call(stale), VI_ERROR_INV_OBJECT) << operation.name;
        }
    }
    EXPECT_EQ(viClose(VI_NULL), VI_WARN_NULL_OBJECT);

    ViSession instrument = VI_NULL;
    EXPECT_EQ(viOpen(session, "VXI0::24::INSTR", VI_NULL, 0, &instrument), VI_ERROR_INV_OBJECT);
    ViChar descriptor[VI_FIND_BUFLEN];
    EXPECT_EQ(viFindRsrc(session, "?*", VI_NULL, VI_NULL, descriptor), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viFindNext(session, descriptor), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viParseRsrc(session, "VXI0::24", VI_NULL, VI_NULL), VI_ERROR_INV_OBJECT);
}

TEST_F(SessionsTest, HandlesAreNeverReused) {
    const ViSession first = open("VXI0::24::INSTR");
    ASSERT_EQ(viClose(first), VI_SUCCESS);
    const ViSession second = open("VXI0::24::INSTR");
    EXPECT_NE(first, second);
    EXPECT_EQ(viClose(first), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(second), VI_SUCCESS);
}

TEST_F(SessionsTest, ClosingResourceManagerEndsItsSessionsAndFindLists) {
    ViSession otherRm = VI_NULL;
    ASSERT_EQ(viOpenDefaultRM(&otherRm), VI_SUCCESS);
    ViSession kept = VI_NULL;
    ASSERT_EQ(viOpen(otherRm, "VXI0::32::INSTR", VI_NULL, 0, &kept), VI_SUCCESS);

    const ViSession first = open("VXI0::24::INSTR");
    const ViSession second = open("VXI0::32::INSTR");
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    ViChar descriptor[VI_FIND_BUFLEN];
    ASSERT_EQ(viFindRsrc(rm_, "?*", &list, &count, descriptor), VI_SUCCESS);
    ASSERT_EQ(count, 2u);

    ASSERT_EQ(viClose(rm_), VI_SUCCESS);
    ViUInt16 slot = 0;
    EXPECT_EQ(viGetAttribute(first, VI_ATTR_SLOT, &slot), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viGetAttribute(second, VI_ATTR_SLOT, &slot), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viFindNext(list, descriptor), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(rm_), VI_ERROR_INV_OBJECT);

    EXPECT_EQ(viGetAttribute(kept, VI_ATTR_SLOT, &slot), VI_SUCCESS);
    EXPECT_EQ(slot, 3);
    EXPECT_EQ(viClose(otherRm), VI_SUCCESS);
    EXPECT_EQ(viClose(kept), VI_ERROR_INV_OBJECT);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
}

TEST_F(SessionsTest, OpenSessionKeepsItsModuleWhenTheMainframeIsReplaced) {
    const ViSession session = open("VXI0::24::INSTR");
    const std::shared_ptr<TestInstrument> original = instruments_[0];
    installTestMainframe(kqsim::Interface::Vxi, {});
    ASSERT_EQ(viOut16(session, VI_A16_SPACE, 0x28, 0x1234), VI_SUCCESS);
    EXPECT_EQ(original->registerValue(0x28), 0x1234);
    ViSession absent = VI_NULL;
    EXPECT_EQ(viOpen(rm_, "VXI0::24::INSTR", VI_NULL, 0, &absent), VI_ERROR_RSRC_NFOUND);
}

TEST_F(SessionsTest, NullPointersAreRefused) {
    const ViSession session = open("VXI0::24::INSTR");
    ViChar text[VI_FIND_BUFLEN];
    struct NullCase {
        const char* name;
        ViStatus status;
        std::function<ViStatus()> call;
    };
    const NullCase cases[] = {
        {"viOpenDefaultRM", VI_ERROR_USER_BUF, [] { return viOpenDefaultRM(VI_NULL); }},
        {"viOpen session", VI_ERROR_USER_BUF, [&] { return viOpen(rm_, "VXI0::24", VI_NULL, 0, VI_NULL); }},
        {"viOpen name", VI_ERROR_INV_RSRC_NAME,
         [&] {
             ViSession s;
             return viOpen(rm_, VI_NULL, VI_NULL, 0, &s);
         }},
        {"viFindRsrc expression", VI_ERROR_INV_EXPR,
         [&] { return viFindRsrc(rm_, VI_NULL, VI_NULL, VI_NULL, text); }},
        {"viFindRsrc descriptor", VI_ERROR_USER_BUF,
         [&] { return viFindRsrc(rm_, "?*", VI_NULL, VI_NULL, VI_NULL); }},
        {"viParseRsrc name", VI_ERROR_INV_RSRC_NAME,
         [&] { return viParseRsrc(rm_, VI_NULL, VI_NULL, VI_NULL); }},
        {"viParseRsrcEx outputs", VI_SUCCESS,
         [&] { return viParseRsrcEx(rm_, "VXI0::24", VI_NULL, VI_NULL, VI_NULL, VI_NULL, VI_NULL); }},
        {"viGetAttribute", VI_ERROR_USER_BUF, [&] { return viGetAttribute(session, VI_ATTR_SLOT, VI_NULL); }},
        {"viStatusDesc", VI_ERROR_USER_BUF, [&] { return viStatusDesc(session, VI_SUCCESS, VI_NULL); }},
        {"viWrite buffer", VI_ERROR_USER_BUF, [&] { return viWrite(session, VI_NULL, 5, VI_NULL); }},
        {"viWrite nothing", VI_SUCCESS, [&] { return viWrite(session, VI_NULL, 0, VI_NULL); }},
        {"viRead buffer", VI_ERROR_USER_BUF, [&] { return viRead(session, VI_NULL, 5, VI_NULL); }},
        {"viReadSTB", VI_ERROR_USER_BUF, [&] { return viReadSTB(session, VI_NULL); }},
        {"viIn16", VI_ERROR_USER_BUF, [&] { return viIn16(session, VI_A16_SPACE, 0x20, VI_NULL); }},
        {"viMoveOut16", VI_ERROR_USER_BUF,
         [&] { return viMoveOut16(session, VI_A16_SPACE, 0x20, 4, VI_NULL); }},
        {"viMoveIn16", VI_ERROR_USER_BUF,
         [&] { return viMoveIn16(session, VI_A16_SPACE, 0x20, 4, VI_NULL); }},
        {"viMapAddress", VI_ERROR_USER_BUF,
         [&] { return viMapAddress(session, VI_A16_SPACE, 0x20, 0x20, VI_FALSE, VI_NULL, VI_NULL); }},
        {"viPrintf format", VI_ERROR_INV_FMT, [&] { return viPrintf(session, VI_NULL); }},
        {"viPrintf %s argument", VI_ERROR_USER_BUF, [&] { return viPrintf(session, "%s\n", VI_NULL); }},
        {"viScanf format", VI_ERROR_INV_FMT, [&] { return viScanf(session, VI_NULL); }},
        {"viQueryf read format", VI_ERROR_INV_FMT, [&] { return viQueryf(session, "x\n", VI_NULL); }},
        {"viWaitOnEvent outputs", VI_ERROR_NENABLED,
         [&] { return viWaitOnEvent(session, VI_EVENT_SERVICE_REQ, 0, VI_NULL, VI_NULL); }},
    };
    for (const NullCase& c : cases) EXPECT_EQ(c.call(), c.status) << c.name;
    viPeek16(session, VI_NULL, VI_NULL);
    EXPECT_EQ(records(kqvisa::Op::Peek16).back().status, VI_ERROR_USER_BUF);
    EXPECT_TRUE(instruments_[0]->messages().empty());
}

TEST_F(SessionsTest, SessionsWorkFromSeveralThreadsWhileTheResourceManagerCloses) {
    instruments_[0]->answer("*IDN?", "first\n");
    instruments_[1]->answer("*IDN?", "second\n");
    constexpr int kRounds = 200;
    std::atomic<int> failures = 0;
    const auto query = [&failures](ViSession session, const std::string& expected) {
        for (int round = 0; round < kRounds; ++round) {
            ViChar reply[32] = {};
            const ViStatus status = viQueryf(session, "*IDN?", "%31t", reply);
            if (status == VI_ERROR_INV_OBJECT) return;
            if (status != VI_SUCCESS || reply != expected) ++failures;
        }
    };
    std::vector<std::thread> threads;
    threads.emplace_back(query, open("VXI0::24::INSTR"), "first\n");
    threads.emplace_back(query, open("VXI0::32::INSTR"), "second\n");
    threads.emplace_back([this] {
        for (int round = 0; round < kRounds; ++round) {
            ViSession extra = VI_NULL;
            if (viOpen(rm_, "VXI0::24::INSTR", VI_NULL, 0, &extra) == VI_SUCCESS) viClose(extra);
        }
        viClose(rm_);
    });
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(failures, 0);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
}

// Random sequences of calls on live, closed and made-up handles, with random bytes for the modules:
// every call must return a status and leave nothing for the sanitizers to find.
TEST_F(SessionsTest, RandomCallSequencesAreHarmless) {
    std::mt19937 random(20240611);
    std::vector<ViSession> handles = {VI_NULL, 0xFFFFFFFF, rm_};
    const auto pick = [&] { return handles[random() % handles.size()]; };
    const auto randomBytes = [&] {
        std::string bytes(random() % 40, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        return bytes;
    };
    for (int step = 0; step < 3000; ++step) {
        const ViSession handle = pick();
        ViUInt16 word = 0;
        ViUInt32 count = 0;
        ViByte buffer[64];
        ViChar text[VI_FIND_BUFLEN];
        switch (random() % 12) {
            case 0: {
                ViSession rm = VI_NULL;
                if (viOpenDefaultRM(&rm) == VI_SUCCESS) handles.push_back(rm);
                break;
            }
            case 1: {
                ViSession session = VI_NULL;
                const char* names[] = {"VXI0::24::INSTR", "VXI0::32", "VXI0::99", "bogus"};
                if (viOpen(handle, names[random() % 4], VI_NULL, 0, &session) == VI_SUCCESS)
                    handles.push_back(session);
                break;
            }
            case 2:
                viClose(handle);
                break;
            case 3: {
                const std::string bytes = randomBytes();
                viWrite(handle, reinterpret_cast<ViConstBuf>(bytes.data()),
                        static_cast<ViUInt32>(bytes.size()), &count);
                break;
            }
            case 4:
                viRead(handle, buffer, random() % sizeof buffer, &count);
                break;
            case 5: {
                ViFindList list = VI_NULL;
                if (viFindRsrc(handle, "?*", &list, &count, text) == VI_SUCCESS) handles.push_back(list);
                viFindNext(pick(), text);
                break;
            }
            case 6:
                viSetAttribute(handle, VI_ATTR_DEST_INCREMENT, random() % 3);
                break;
            case 7:
                viMoveOut16(handle, VI_A16_SPACE, (random() % 40) * 2, random() % 40,
                            reinterpret_cast<ViUInt16*>(buffer));
                break;
            case 8:
                viIn16(handle, VI_A16_SPACE, random() % 70, &word);
                break;
            case 9: {
                ViAddr address = VI_NULL;
                viMapAddress(handle, VI_A16_SPACE, random() % 0x40, random() % 0x44, VI_FALSE, VI_NULL,
                             &address);
                if (address != VI_NULL)
                    viPeek16(handle, static_cast<char*>(address) + random() % 0x41, &word);
                if (random() % 2) viUnmapAddress(handle);
                break;
            }
            case 10: {
                ViInt32 number = 0;
                viQueryf(handle, "%s\n", "%ld%*t", randomBytes().c_str(), &number);
                break;
            }
            default:
                viClear(handle);
                break;
        }
    }
    for (const ViSession handle : handles) viClose(handle);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
}

}  // namespace
}  // namespace kqvisatest
