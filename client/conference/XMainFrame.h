#pragma once
// The conference room's hub (g_pMainFrame): owns the conference manager for the life of the
// program and logs in to the conference server for the road. The room window's full work
// comes with the room; until then a successful login opens a plain room frame.

#include <QPointer>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

#include "IMainFrame.h"
#include "RoadPorts.h"
#include "ST_CS_SERVER.h"

class XConfManager;
class CRoomFrame;
class QWidget;

class XMainFrame : public yav::road::IConfLogin, public IMainFrame {
public:
    XMainFrame();
    ~XMainFrame() override;
    XMainFrame(const XMainFrame&) = delete;
    XMainFrame& operator=(const XMainFrame&) = delete;

    // --- login (the road) ---
    void SetLoginInfo(const QString& name, const QString& password, uint8_t mode) override;
    void SetCsServer(const ST_CS_SERVER& record) override;
    void SetHandOverDigest(const std::string& digest) override;
    int LoginCs(uint32_t confId, uint16_t* extra, uint8_t flag) override;
    void LogoutCs() override;
    yav::road::UpgradeInfo GetUpgradeInfo() const override;
    int ReLogin();
    // 0 when the queue was emptied; -1 without a conference manager or when the connection
    // was lost.
    int PumpCsMessage();

    // The name as it reaches the conference server: code page 936, at most 63 bytes, never
    // ending inside a double-byte character.
    static std::string CsLoginName(const QString& name);
    // The password as it reaches the conference server: code page 936, at most 32 bytes
    // (its field), cut the same way.
    static std::string CsLoginPassword(const QString& password);

    // --- the room window ---
    // Opens the room frame of the conference under parent and shows it.
    bool CreateRoomWindow(QWidget* parent, const QString& confName, uint32_t confId);
    CRoomFrame* GetRoomWindow() const;

    // --- IMainFrame (calls of the conference manager) ---
    void ReceiveVideo(uint16_t wMediaId, uint32_t unused, uint32_t mode,
                      IVideoWindow* window) override;
    void ShowPopMsg(const QString& title, const QString& text, int countdownSeconds, int type,
                    std::function<void(int answer)> onClosed) override;
    void CloseByServer() override;

    // --- getters ---
    XConfManager* GetConfManager() const { return m_pConfManager.get(); }
    uint32_t GetConfIdOfLogin() const { return m_dwConfId; }
    const ST_CS_SERVER& GetCsServer() const { return m_csServer; }
    void CopyServerName(char* out) const;

private:
    std::unique_ptr<XConfManager> m_pConfManager;
    QString m_strLoginName;
    QString m_strLoginPassword;
    uint8_t m_byLoginMode = 0;
    uint32_t m_dwConfId = 0;
    ST_CS_SERVER m_csServer{};
    QPointer<CRoomFrame> m_pRoom;
};

extern XMainFrame* g_pMainFrame;
