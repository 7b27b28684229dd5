#pragma once
// One row of the conference list: not a window of its own but seven controls made directly in
// the list window (ids base + 1 .. base + 7) and placed inside the row's rectangle.

#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <memory>

#include "client/ui/CStaticImage.h"
#include "client/ui/CTransparentStatic.h"
#include "client/ui/CYavPngButton.h"

class CConfItemPanel {
public:
    CConfItemPanel() = default;
    ~CConfItemPanel();
    CConfItemPanel(const CConfItemPanel&) = delete;
    CConfItemPanel& operator=(const CConfItemPanel&) = delete;

    // Makes the seven controls in parent with ids base + 1 .. base + 7.
    void Create(int baseId, QWidget* parent);
    void SetImages(QImage* numberIcon, QImage* countIcon, QImage* enterPressed, QImage* enterNormal,
                   QImage* separator);
    void SetData(std::uint32_t confNumber, const QString& name, int countAfter, int countBefore);
    void SetRect(int left, int top, int right, int bottom);
    void Show(BOOL show);
    // Enter caption: "entering" while the conference is being entered.
    void SetEntering(BOOL entering);

    std::uint32_t GetConfNumber() const { return m_dwConfNumber; }
    const QString& GetName() const { return m_strName; }
    const QRect& GetRect() const { return m_rcRow; }
    int GetBaseId() const { return m_nBaseId; }
    CTransparentStatic* GetNameLabel() const { return m_pName.get(); }
    CTransparentStatic* GetNumberLabel() const { return m_pNumber.get(); }
    CTransparentStatic* GetCountsLabel() const { return m_pCounts.get(); }
    CYavPngButton* GetEnterButton() const { return m_pEnter.get(); }

private:
    int m_nBaseId = 0;
    std::unique_ptr<CTransparentStatic> m_pName;
    std::unique_ptr<CTransparentStatic> m_pNumber;
    std::unique_ptr<CStaticImage> m_pNumberIcon;
    std::unique_ptr<CTransparentStatic> m_pCounts;
    std::unique_ptr<CStaticImage> m_pCountIcon;
    std::unique_ptr<CYavPngButton> m_pEnter;
    std::unique_ptr<CStaticImage> m_pSeparator;
    std::uint32_t m_dwConfNumber = 0;
    QString m_strName;
    int m_nCountAfter = 0;
    int m_nCountBefore = 0;
    QRect m_rcRow;
    QImage* m_pImgNumberIcon = nullptr;
    QImage* m_pImgCountIcon = nullptr;
    QImage* m_pImgEnterPressed = nullptr;
    QImage* m_pImgEnterNormal = nullptr;
    QImage* m_pImgSeparator = nullptr;
};
