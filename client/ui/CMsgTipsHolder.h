#pragma once
// The room window's holder of its one sliding tip: shows a text (or refreshes the tip that is
// up) and ends the tip when it has shrunk away or when the room closes.

#include <QImage>
#include <QPointer>
#include <QString>

class CMsgTipsDlg;

class CMsgTipsHolder {
public:
    CMsgTipsHolder() = default;
    ~CMsgTipsHolder();
    CMsgTipsHolder(const CMsgTipsHolder&) = delete;
    CMsgTipsHolder& operator=(const CMsgTipsHolder&) = delete;

    void SetBkImage(QImage* image) { m_pBkImage = image; }
    // Nothing while the connection is lost or for an empty text.
    void ShowTip(const QString& text);
    // With a tip: forgets it when it is the current one and ends it; without: ends the
    // current tip.
    void DestroyTip(CMsgTipsDlg* tip = nullptr);
    void CloseTip();

    CMsgTipsDlg* GetTip() const { return m_pTip; }

private:
    static void EndTip(CMsgTipsDlg* tip);

    QPointer<CMsgTipsDlg> m_pTip;
    QImage* m_pBkImage = nullptr;
};
