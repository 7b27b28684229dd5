#pragma once
// A room for video windows that records what they ask of it, and a render object that
// records what the window tells it and writes snapshots as the component would.

#include <QFile>
#include <QString>

#include <map>
#include <utility>

#include "client/dialogs/video/IVideoWindowHost.h"
#include "components/KroMedia/IKroMedia.h"
#include "fakes/conference/CallLog.h"

namespace fakes {

class FakeStream : public kromedia::IMediaStream {
public:
    virtual ~FakeStream() = default;
    void SetRect(const kromedia::MediaRect* rect) override {
        if (rect != nullptr) {
            lastRect = *rect;
            ++rects;
        }
    }
    void Redraw() override { ++redraws; }
    int SaveSnapshot(const char16_t* path) override {
        const QString file = QString::fromUtf16(path);
        saved.push_back(file);
        if (!saveSucceeds) {
            return 0;
        }
        QFile out(file);
        return out.open(QIODevice::WriteOnly) && out.write("BM", 2) == 2 ? 1 : 0;
    }
    void SetVoiceMarker(int on) override { voiceMarker = on; }

    kromedia::MediaRect lastRect;
    int rects = 0;
    // The last voice-activation marker state (-1: never set).
    int voiceMarker = -1;
    int redraws = 0;
    bool saveSucceeds = true;
    std::vector<QString> saved;
};

class FakeSpeakPopup : public ISpeakPopup {
public:
    FakeSpeakPopup(CallLog& log, QWidget* parent) : log_(log), widget_(new QWidget(parent)) {
        widget_->hide();
    }
    QWidget* GetWidget() override { return widget_; }
    void SetBroadcastIcon(bool on) override { log_.Add(Call("Speak.SetBroadcastIcon", on)); }
    void SetSpeakState(std::uint8_t state) override {
        log_.Add(Call("Speak.SetSpeakState", state));
    }
    void SetUserId(std::uint16_t id) override { log_.Add(Call("Speak.SetUserId", id)); }
    void StartHideTimer() override { log_.Add("Speak.StartHideTimer()"); }
    void StopHideTimer() override { log_.Add("Speak.StopHideTimer()"); }

private:
    CallLog& log_;
    QWidget* widget_;  // owned by its parent
};

class FakeVideoHost : public IVideoWindowHost {
public:
    explicit FakeVideoHost(CallLog& log) : log_(log) {}

    QWidget* GetMainWindow() override { return mainWindow; }
    QWidget* GetUserListWindow() override { return nullptr; }
    bool IsMainWindowMinimised() override { return false; }
    bool IsMainWindowVisible() override { return true; }
    std::uint8_t GetLayoutStateSecond() override { return 0; }
    bool IsLayoutSyncFlag() override { return layoutSync; }
    bool IsFullVideo() override { return false; }
    bool IsMyRoleState0or5() override { return role == 0; }
    bool IsMyRoleState2() override { return role == 2; }
    bool IsMyRoleActive() override { return role == 0 || role == 2; }
    std::uint16_t GetMyUserId() override { return myUserId; }
    bool GetSpeakInfo(std::uint16_t id, int* speaking, int* broadcast) override {
        const auto it = speak.find(id);
        if (it == speak.end()) {
            return false;
        }
        *speaking = it->second.first;
        *broadcast = it->second.second;
        return true;
    }
    bool GetUserName(std::uint16_t userId, QString* name) override {
        const auto it = names.find(userId);
        if (it == names.end()) {
            return false;
        }
        *name = it->second;
        return true;
    }
    QString FormatChannelName(std::uint16_t id) override {
        QString name;
        GetUserName(static_cast<std::uint16_t>(id & ~7), &name);
        return (id & 7) == 0 ? name : QStringLiteral("%1-%2").arg(name).arg((id & 7) + 1);
    }
    bool IsMediaIdBroadcast(std::uint16_t) override { return false; }
    bool OpenRemoteParams(std::uint16_t id) override {
        log_.Add(Call("OpenRemoteParams", id));
        return false;
    }
    void SendCameraControl(std::uint16_t id, std::uint32_t code) override {
        log_.Add(Call("SendCameraControl", id, code));
    }
    void SendUserByte311(std::uint16_t id) override { log_.Add(Call("SendUserByte311", id)); }
    void BeginVideoDrag(QWidget*) override { log_.Add("BeginVideoDrag()"); }
    void TogglePreviewOff() override { log_.Add("TogglePreviewOff()"); }
    ISpeakPopup* CreateSpeakPopup(QWidget* parent) override {
        return makeSpeakPopup ? new FakeSpeakPopup(log_, parent) : nullptr;
    }
    bool StopRecvVideo(std::uint16_t id) override {
        log_.Add(Call("StopRecvVideo", id));
        return true;
    }
    kromedia::IMediaStream* GetStream(std::uint16_t id) override {
        const auto it = streams.find(id);
        return it == streams.end() ? nullptr : it->second;
    }
    void ClearWindowSlot(int slot) override { log_.Add(Call("ClearWindowSlot", slot)); }
    void DelVideo(std::uint16_t id) override { log_.Add(Call("DelVideo", id)); }
    void CompactWindow(int slot) override { log_.Add(Call("CompactWindow", slot)); }
    void CyclePushBack(std::uint16_t id) override { log_.Add(Call("CyclePushBack", id)); }
    void CycleRemoveWindow(IVideoWindow*) override { log_.Add("CycleRemoveWindow()"); }
    void CycleRemoveMediaId(std::uint16_t id) override { log_.Add(Call("CycleRemoveMediaId", id)); }

    QWidget* mainWindow = nullptr;
    int role = 1;  // 0 chair, 2 presenter, anything else a participant
    std::uint16_t myUserId = 16;
    bool layoutSync = false;
    bool makeSpeakPopup = false;
    std::map<std::uint16_t, QString> names;
    // Media id -> (speaking, broadcast marker).
    std::map<std::uint16_t, std::pair<int, int>> speak;
    std::map<std::uint16_t, kromedia::IMediaStream*> streams;

private:
    CallLog& log_;
};

}  // namespace fakes
