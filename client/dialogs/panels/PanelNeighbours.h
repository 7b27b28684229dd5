#pragma once
// Windows of other subsystems that the panels hold or place, as the panels call them. Each
// comes from its own subsystem; until it is there the panels hold the stand-in below it.

#include <QString>

#include <cstdint>

#include "platform/window/Window.h"

// The document tab strip of the control bar.
class IDocPageTab {
public:
    virtual ~IDocPageTab() = default;
    virtual QWidget* Widget() = 0;
    virtual bool AddItem(const QString& name, std::uint32_t viewId) = 0;
    virtual bool RemoveItem(std::uint32_t viewId, int flag) = 0;
    virtual void RemoveAll() = 0;
    virtual std::uint32_t GetActiveID() = 0;
    virtual void UpdateCloseRight() = 0;
    virtual void ReloadTexts() = 0;
};

// The video pager of the control bar.
class IVideoPageTab {
public:
    virtual ~IVideoPageTab() = default;
    virtual QWidget* Widget() = 0;
    virtual void SetPageCount(int count) = 0;
    virtual void SetAutoPage(bool on) = 0;
    virtual bool IsAutoPage() const = 0;
    virtual void UpdatePager() = 0;
    virtual void ReloadTexts() = 0;
};

// The bulletin strip over the control bar's centre.
class IBullBoardStand {
public:
    virtual ~IBullBoardStand() = default;
    virtual QWidget* Widget() = 0;
};

// The participant/chat panel that the full-screen strip floats out.
class IFloatUserList {
public:
    virtual ~IFloatUserList() = default;
    virtual bool IsFloat() = 0;
    virtual void SetFloat(bool on) = 0;
    virtual bool IsMembersPage() = 0;
    virtual void SelectChatTab() = 0;
    virtual void SelectMembersTab() = 0;
    virtual bool IsVisible() = 0;
    virtual void ShowDlg(int nCmdShow) = 0;
    virtual void MoveTo(const QRect& screenRect) = 0;
};

// Stand-in for the document tab strip (replaced by the document subsystem's CDlgDocPageTab):
// keeps the views it is given.
class StandInDocPageTab : public IDocPageTab, public yav::Window {
public:
    explicit StandInDocPageTab(QWidget* parent) : yav::Window(parent) {}
    QWidget* Widget() override { return this; }
    bool AddItem(const QString&, std::uint32_t viewId) override {
        active_ = viewId;
        ++count_;
        return true;
    }
    bool RemoveItem(std::uint32_t viewId, int) override {
        if (count_ > 0) {
            --count_;
        }
        if (active_ == viewId) {
            active_ = 1;
        }
        return true;
    }
    void RemoveAll() override {
        count_ = 0;
        active_ = 1;
    }
    std::uint32_t GetActiveID() override { return active_; }
    void UpdateCloseRight() override {}
    void ReloadTexts() override {}

private:
    std::uint32_t active_ = 1;
    int count_ = 0;
};

// Stand-in for the video pager (replaced by the video subsystem's CDlgVideoPageTab).
class StandInVideoPageTab : public IVideoPageTab, public yav::Window {
public:
    explicit StandInVideoPageTab(QWidget* parent) : yav::Window(parent) {}
    QWidget* Widget() override { return this; }
    void SetPageCount(int count) override { pages_ = count; }
    void SetAutoPage(bool on) override { auto_ = on; }
    bool IsAutoPage() const override { return auto_; }
    void UpdatePager() override {}
    void ReloadTexts() override {}

private:
    int pages_ = 0;
    bool auto_ = false;
};

// Stand-in for the bulletin strip (replaced by the participants subsystem's
// CDlgBullBoardStand).
class StandInBullBoard : public IBullBoardStand, public yav::Window {
public:
    StandInBullBoard() : yav::Window(nullptr) {}
    QWidget* Widget() override { return this; }
};

class CDlgVoiceIncentive;

// A video window as the voice-activation notice uses it.
class IVoiceVideoWindow {
public:
    virtual ~IVoiceVideoWindow() = default;
    // Screen rectangle.
    virtual QRect GetWindowRect() = 0;
    // Its picture area can carry a caption.
    virtual bool CanShowCaption() = 0;
    // The notice standing on it (null clears it).
    virtual void SetVoiceNotice(CDlgVoiceIncentive* notice) = 0;
};
