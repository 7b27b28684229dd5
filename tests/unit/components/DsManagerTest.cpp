// The data-server component against a scripted server: each way a conference-list call can
// end has its own result, and the failures their own log lines.
#include <gtest/gtest.h>

#include "DsManager.h"
#include "FakeServer.h"
#include "fakes/conference/LogCapture.h"

namespace {

using namespace yav::proto;
using yav::test::FakeServer;

ST_CONF_ITEM Conference(uint32_t id) {
    ST_CONF_ITEM item;
    item.confId = id;
    CopyText(item.confName, sizeof item.confName, "room");
    return item;
}

TEST(DsManager, ConferenceListOutcomesAreToldApart) {
    MsgConfListResponse list;
    list.items = {Conference(7), Conference(9)};
    MsgConfListResponse refusal;
    refusal.result = ERR_WRONG_PASSWORD;
    refusal.extra = 12;
    Bytes cutShort = EncodeFrame(list);  // the count says two entries, one and a half follow
    cutShort.resize(cutShort.size() - 90);
    StoreU32(cutShort, 0, static_cast<uint32_t>(cutShort.size() - kFrameLengthBytes));
    struct Case {
        const char* name;
        Bytes answer;
        int32_t result;
        int32_t count;
        const char* logLine;  // null: no warning expected
    };
    const Case cases[] = {
        {"a list", EncodeFrame(list), DS_OK, 2, nullptr},
        {"a refusal", EncodeFrame(refusal), ERR_WRONG_PASSWORD, 0, nullptr},
        {"an answer that cannot be read", cutShort, DS_ERR_MALFORMED, 0,
         "malformed conference list"},
        {"no answer", Bytes{}, DS_ERR_TIMEOUT, 0, "no conference list from"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fakes::LogCapture log;
        FakeServer server([](const MsgLoginRequest&) { return Bytes{}; });
        server.SetRequestScript([&](const Frame& frame) {
            return frame.type == MsgType::ConfListRequest ? c.answer : Bytes{};
        });
        DsManager ds;
        ds.SetAnswerTimeout(std::chrono::milliseconds(200));
        int32_t count = -1;
        uint16_t extra = 0;
        const ST_CONF_ITEM* full = nullptr;
        const ST_CONF_ITEM_SHORT* brief = nullptr;
        EXPECT_EQ(ds.GetConfList("127.0.0.1", server.Port(), 0, "me", "", 5, &count, &extra, &full,
                                 &brief, 0),
                  c.result);
        EXPECT_EQ(count, c.count);
        if (c.result == DS_OK) {
            ASSERT_NE(full, nullptr);
            EXPECT_EQ(full[1].confId, 9u);
        }
        if (c.result == ERR_WRONG_PASSWORD) {
            EXPECT_EQ(extra, 12);
        }
        if (c.logLine) {
            EXPECT_EQ(log.CountContaining(c.logLine), 1u);
        } else {
            EXPECT_EQ(log.CountContaining("KroDsManger:"), 0u);
        }
    }
}

}  // namespace
