#pragma once
// The participant panel offscreen in a plain window, with the test's action host, a recording
// chat window, departments and (AddParticipants) one participant for every icon state.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "UsersUiSupport.h"
#include "dialogs/users/CDlgUserList.h"
#include "fakes/conference/CallLog.h"
#include "fakes/conference/FakeRoomChildren.h"
#include "fakes/ui/RecordingWindow.h"
#include "fakes/users/RecordingActionHost.h"

namespace users_ui {

using namespace yav::users;

// Roles and requests of the test; requests are only recorded, and there is no preview window.
struct ScriptedHost : fakes::RecordingActionHost {
    ScriptedHost() {
        limits = {4, 4, 9, 9};
        hasPreview = false;
        confirm = false;
    }
};

inline ST_USER_ITEM_DEPT Record(std::uint16_t id, const char16_t* name, std::uint32_t deptKey) {
    ST_USER_ITEM_DEPT record;
    record.userId = id;
    const std::u16string_view text(name);
    std::copy_n(text.begin(), std::min<std::size_t>(text.size(), 32), record.name);
    record.departmentId = deptKey;
    record.audioDevice = 1;
    return record;
}

inline ST_TREE_DEPT Dept(std::uint32_t key, const char* name) {
    ST_TREE_DEPT dept;
    dept.ownKey = key;
    dept.name = QString::fromUtf8(name);
    return dept;
}

class UserListTest : public ::testing::TestWithParam<double> {
protected:
    void SetUp() override {
        users_ui::LoadResources();
        room.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
        room.MoveWindow(0, 0, yav::Scaled(320), yav::Scaled(640));
        list = new CDlgUserList(&room);
        list->SetActionHost(&host);
        list->SetChatWindow(&chat, nullptr);
        ASSERT_TRUE(list->Create(CDlgUserList::IDD, &room));
        list->setGeometry(0, 0, yav::Scaled(320), yav::Scaled(640));
        list->ShowDlg(SW_SHOW);
        room.show();
        list->SetLocalUser(8);
        const ST_TREE_DEPT head = Dept(11, "Head office");
        const ST_TREE_DEPT research = Dept(13, "Research (north)");
        const ST_TREE_DEPT video = Dept(14, "Video team");
        const ST_TREE_DEPT sales = Dept(12, "Sales");
        list->AddRootDepartment(&head);
        list->AddDepartment(&research, 11);
        list->AddDepartment(&video, 13);
        list->AddRootDepartment(&sales);
        list->SetOnlineCountText(5);
    }
    void TearDown() override { delete list; }

    // The participants of the pictures: every icon state once.
    void AddParticipants() {
        ST_USER_ITEM_DEPT me = Record(8, u"Demo Chair", 11);
        me.kind = USER_KIND_CHAIR;
        me.channelMask = 1;
        me.videoChannelCount = 1;
        list->AddUser(&me);
        ST_USER_ITEM_DEPT presenter = Record(16, u"Alice", 13);
        presenter.presenterState = 2;
        presenter.speakState = 2;
        presenter.channelMask = 1;
        presenter.videoChannelCount = 1;
        presenter.broadcastMask = 1;
        list->AddUser(&presenter);
        ST_USER_ITEM_DEPT queued = Record(24, u"<b>Bob</b>", 14);
        queued.presenterState = 1;
        queued.speakState = 1;
        queued.channelMask = 3;
        queued.videoChannelCount = 2;
        list->AddUser(&queued);
        ST_USER_ITEM_DEPT listener = Record(32, u"Carol (guest)", 12);
        listener.privateData.listenFlag = 1;
        listener.kind = USER_KIND_TEMP_ADMIN;
        list->AddUser(&listener);
        ST_USER_ITEM_DEPT plain = Record(40, u"Dave", 99);
        plain.audioDevice = 0;
        list->AddUser(&plain);
        QApplication::processEvents();
    }
    // The mouse over a point of the tree's viewport, then a click there.
    void ClickAt(CMyTreeCtrl& tree, const QPoint& point, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseMove(tree.viewport(), point);
        QTest::mouseClick(tree.viewport(), button, {}, point);
    }
    // A point on one of a row's icons (its distance from the row's right edge).
    QPoint IconPoint(CMyTreeCtrl& tree, std::uint16_t userId, int iconRight) {
        return {tree.RowRightEdge() - yav::Scaled(iconRight) + yav::Scaled(5),
                RowCentre(tree, userId).y()};
    }
    QPoint RowCentre(CMyTreeCtrl& tree, std::uint16_t userId) {
        const QModelIndex index = tree.Model().IndexOf(tree.Tree().FirstUserNode(userId));
        return tree.visualRect(index).center();
    }

    users_ui::ScaleScope scale{GetParam()};
    yav::fakes::RecordingWindow room;
    fakes::CallLog log;
    fakes::FakeChat chat{log};
    ScriptedHost host;
    CDlgUserList* list = nullptr;
};

}  // namespace users_ui
