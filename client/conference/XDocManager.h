#pragma once
// Owner of the document-share object and forwarder of the room window's document operations
// to it. Every operation does nothing, or answers the given value, while the object or the
// sub-object it needs is absent.

#include <QString>

#include <cstdint>
#include <memory>

#include "RoomComponents.h"

class XDocManager {
public:
    // Asks the document-share factory for the object; parentValue is handed through.
    explicit XDocManager(std::uint32_t parentValue);
    virtual ~XDocManager();
    XDocManager(const XDocManager&) = delete;
    XDocManager& operator=(const XDocManager&) = delete;

    bool HasObject() const { return m_pObject != nullptr; }

    // Reads [WBFileControl] DocFollowLead of Client.ini and applies it, then starts sharing
    // with the two server endpoints; the object's result, 0 without it.
    int StartShare(const QString& address, std::uint16_t port, std::uint32_t value,
                   std::uint32_t ownerId, std::uint32_t secondValue, const QString& secondAddress,
                   std::uint16_t secondPort);
    void SetFollowLead(std::int32_t value);
    // 0 while I am the presenter, else the stored value.
    std::int32_t GetFollowLead() const;
    // The stored value whatever the role (what a role change applies again).
    std::int32_t GetStoredFollowLead() const { return m_nFollowLead; }
    // The room's callbacks for the component's reports.
    void SetHandler(IKroDataHandleMsg* handler);

    void Stop();
    void SetLanguage(int languageIndex);
    void SetWindowsShown(std::int32_t value);
    int QueryState1();
    int QueryState2();
    int QueryState3();
    void CloseAll();
    // -1 without the object.
    int GetState();
    void OpenWhiteboard();
    void Reset();
    void EnableTools(int enable);
    void EnablePages(int enable);

    void SetViewValue(std::int32_t value);
    void RestoreAfterReconnect();
    void SetDocOption(std::int32_t value);
    void GotoPage(std::uint16_t a, std::uint16_t b, std::uint16_t c);
    int GetZoomPercent();

    void RefreshOffice();
    // The office options into the application settings.
    void ReadOfficeOptions();

private:
    std::int32_t m_nFollowLead = 1;
    std::unique_ptr<IKroDocShare> m_pObject;
    IKroDocView* m_pView = nullptr;
    IKroDocOffice* m_pOffice = nullptr;
};
