#include "CSkinScrollWnd.h"

#include <QPainter>
#include <QScrollBar>
#include <QVariant>

#include "platform/core/Scale.h"

namespace {

// The target's property that names its wrapper.
constexpr const char* kWrapperProperty = "yavSkinScrollWnd";

}  // namespace

CSkinScrollWnd::CSkinScrollWnd()
    : m_sbHorz(this, SBS_HORZ), m_sbVert(this, SBS_VERT), m_wndLimit(this) {
    yav::SetControlId(&m_sbHorz, kHorzBarId);
    yav::SetControlId(&m_sbVert, kVertBarId);
    yav::SetControlId(&m_wndLimit, kLimitId);
    m_sbHorz.hide();
    m_sbVert.hide();
    setObjectName(QStringLiteral("SkinScrollBarFrame"));
    MapMessage(WM_VSCROLL, [this](WPARAM wParam, LPARAM) {
        OnBarScroll(true, wParam);
        return LRESULT{0};
    });
    MapMessage(WM_HSCROLL, [this](WPARAM wParam, LPARAM) {
        OnBarScroll(false, wParam);
        return LRESULT{0};
    });
}

CSkinScrollWnd::~CSkinScrollWnd() {
    // The clip window is a member: the target must be out of it before the members go.
    UnskinWindow();
}

CSkinScrollWnd* CSkinScrollWnd::FromTarget(const QWidget* target) {
    if (target == nullptr) {
        return nullptr;
    }
    return dynamic_cast<CSkinScrollWnd*>(
        qvariant_cast<QObject*>(target->property(kWrapperProperty)));
}

bool CSkinScrollWnd::WantsBar(Qt::Orientation orientation) const {
    if (m_pTarget == nullptr) {
        return false;
    }
    const Qt::ScrollBarPolicy policy =
        orientation == Qt::Vertical ? m_oldVertPolicy : m_oldHorzPolicy;
    const QScrollBar* bar = orientation == Qt::Vertical ? m_pTarget->verticalScrollBar()
                                                        : m_pTarget->horizontalScrollBar();
    switch (policy) {
        case Qt::ScrollBarAlwaysOn:
            return true;
        case Qt::ScrollBarAlwaysOff:
            return false;
        default:
            return bar != nullptr && bar->maximum() > bar->minimum();
    }
}

SkinScrollInfo CSkinScrollWnd::InfoOf(const QScrollBar* bar) {
    // A Qt range counts the positions a page can start at; the bar counts every line.
    SkinScrollInfo info;
    info.nMin = bar->minimum();
    info.nPage = bar->pageStep();
    info.nMax = bar->maximum() + std::max(bar->pageStep() - 1, 0);
    info.nPos = bar->value();
    return info;
}

BOOL CSkinScrollWnd::SkinWindow(QAbstractScrollArea* target, const QPixmap& bitmap) {
    if (target == nullptr || m_pTarget != nullptr || FromTarget(target) != nullptr) {
        return 0;
    }
    QWidget* parent = target->parentWidget();
    m_pTarget = target;
    m_hBmpScroll = bitmap;
    const SkinScrollCells cells = ComputeSkinScrollCells(bitmap.width(), bitmap.height());
    m_nScrollWid = static_cast<int>(cells.cellWidth * g_fExchangePW);
    m_bLeftScrollBar = target->layoutDirection() == Qt::RightToLeft;

    // The frame takes the target's place, control id and border.
    setParent(parent);
    SetDlgCtrlID(yav::ControlId(target));
    setGeometry(target->geometry());
    m_oldFrameStyle = target->frameStyle();
    setFrameStyle(m_oldFrameStyle);
    target->setFrameStyle(QFrame::NoFrame);

    m_sbHorz.SetBitmap(bitmap);
    m_sbVert.SetBitmap(bitmap);
    m_wndLimit.show();

    m_oldHorzPolicy = target->horizontalScrollBarPolicy();
    m_oldVertPolicy = target->verticalScrollBarPolicy();
    target->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    target->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const bool visible = !target->isHidden();
    target->setParent(&m_wndLimit);
    target->move(0, 0);
    // Re-parenting hides the target; inside the clip window it stays shown and the frame
    // carries its visibility.
    target->show();
    target->setProperty(kWrapperProperty, QVariant::fromValue(static_cast<QObject*>(this)));
    setVisible(visible);

    for (QScrollBar* bar : {target->horizontalScrollBar(), target->verticalScrollBar()}) {
        connect(bar, &QScrollBar::rangeChanged, this, [this] { SyncFromTarget(); });
        connect(bar, &QScrollBar::valueChanged, this, [this] { SyncFromTarget(); });
    }
    connect(target, &QObject::destroyed, this, [this] {
        // The target went first: nothing is left to give back.
        m_pTarget = nullptr;
        deleteLater();
    });
    Layout();
    SyncFromTarget();
    return 1;
}

void CSkinScrollWnd::UnskinWindow() {
    QAbstractScrollArea* target = m_pTarget;
    if (target == nullptr) {
        return;
    }
    m_pTarget = nullptr;
    disconnect(target, nullptr, this, nullptr);
    for (QScrollBar* bar : {target->horizontalScrollBar(), target->verticalScrollBar()}) {
        disconnect(bar, nullptr, this, nullptr);
    }
    target->setProperty(kWrapperProperty, QVariant());
    target->setHorizontalScrollBarPolicy(m_oldHorzPolicy);
    target->setVerticalScrollBarPolicy(m_oldVertPolicy);
    target->setFrameStyle(m_oldFrameStyle);
    setFrameStyle(QFrame::NoFrame);
    const QRect place = geometry();
    const bool visible = !isHidden();
    target->setParent(parentWidget());
    target->setGeometry(place);
    target->setVisible(visible);
}

void CSkinScrollWnd::SyncFromTarget() {
    if (m_pTarget == nullptr || m_bOp != 0) {
        return;
    }
    struct Pair {
        CSkinScrollBar* skin;
        const QScrollBar* own;
    };
    for (const Pair& pair : {Pair{&m_sbHorz, m_pTarget->horizontalScrollBar()},
                             Pair{&m_sbVert, m_pTarget->verticalScrollBar()}}) {
        if (pair.skin->IsDragging()) {
            continue;
        }
        SkinScrollInfo current;
        pair.skin->GetScrollInfo(&current);
        SkinScrollInfo wanted = InfoOf(pair.own);
        wanted.nTrackPos = current.nTrackPos;
        if (!(NormalizeScrollInfo(wanted) == current)) {
            pair.skin->SetScrollInfo(wanted, 1);
        }
        pair.skin->EnableWindow(wanted.nMax >= wanted.nPage ? 1 : 0);
    }
    Layout();
}

void CSkinScrollWnd::Layout() {
    if (m_pTarget == nullptr) {
        return;
    }
    m_bOp = 1;
    const bool vert = WantsBar(Qt::Vertical);
    const bool horz = WantsBar(Qt::Horizontal);
    const QRect inside = contentsRect();
    QRect client = inside;
    if (horz) {
        client.setHeight(std::max(client.height() - m_nScrollWid, 0));
    }
    if (vert) {
        if (m_bLeftScrollBar) {
            client.setLeft(client.left() + m_nScrollWid);
        } else {
            client.setWidth(std::max(client.width() - m_nScrollWid, 0));
        }
    }
    m_wndLimit.setGeometry(client);
    m_pTarget->setGeometry(0, 0, client.width(), client.height());
    const int barX = m_bLeftScrollBar ? inside.left() : client.left() + client.width();
    m_sbVert.setGeometry(barX, client.top(), m_nScrollWid, client.height());
    m_sbHorz.setGeometry(client.left(), client.top() + client.height(), client.width(),
                         m_nScrollWid);
    m_sbVert.setVisible(vert);
    m_sbHorz.setVisible(horz);
    m_nAngleType = vert && horz ? (m_bLeftScrollBar ? kCornerLeft : kCornerRight) : kCornerNone;
    m_bOp = 0;
    update();
}

void CSkinScrollWnd::OnBarScroll(bool vertical, WPARAM wParam) {
    if (m_pTarget == nullptr) {
        return;
    }
    QScrollBar* own = vertical ? m_pTarget->verticalScrollBar() : m_pTarget->horizontalScrollBar();
    CSkinScrollBar& skin = vertical ? m_sbVert : m_sbHorz;
    const int code = LOWORD(wParam);
    m_bOp = 1;
    switch (code) {
        case SB_LINEUP:
            own->triggerAction(QAbstractSlider::SliderSingleStepSub);
            break;
        case SB_LINEDOWN:
            own->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            break;
        case SB_PAGEUP:
            own->triggerAction(QAbstractSlider::SliderPageStepSub);
            break;
        case SB_PAGEDOWN:
            own->triggerAction(QAbstractSlider::SliderPageStepAdd);
            break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The bar's own track position carries all 32 bits.
            SkinScrollInfo info;
            skin.GetScrollInfo(&info);
            own->setValue(info.nTrackPos != -1 ? info.nTrackPos : HIWORD(wParam));
            break;
        }
        default:
            break;
    }
    m_bOp = 0;
    if (code != SB_THUMBTRACK) {
        SkinScrollInfo info = InfoOf(own);
        SkinScrollInfo current;
        skin.GetScrollInfo(&current);
        info.nTrackPos = current.nTrackPos;
        skin.SetScrollInfo(info, 1);
    }
}

void CSkinScrollWnd::OnSize(int cx, int cy) {
    if (cx > 0 && cy > 0) {
        Layout();
    }
}

void CSkinScrollWnd::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (m_nAngleType == kCornerNone || m_hBmpScroll.isNull()) {
        return;
    }
    // Column 8 of the bitmap: row 0 for the corner at the right, row 1 at the left.
    const SkinScrollCells cells =
        ComputeSkinScrollCells(m_hBmpScroll.width(), m_hBmpScroll.height());
    const int row = m_nAngleType == kCornerLeft ? 1 : 0;
    const QRect source(8 * cells.bitmapCell, row * cells.bitmapCell, cells.bitmapCell,
                       cells.bitmapCell);
    const QRect inside = contentsRect();
    const int y = inside.top() + inside.height() - m_nScrollWid;
    const int x =
        m_nAngleType == kCornerLeft ? inside.left() : inside.left() + inside.width() - m_nScrollWid;
    QPainter painter(this);
    painter.drawPixmap(QRect(x, y, m_nScrollWid, m_nScrollWid), m_hBmpScroll, source);
}

CSkinScrollWnd* SkinWndScroll(QWidget* target, const QPixmap& bitmap) {
    if (CSkinScrollWnd* existing = CSkinScrollWnd::FromTarget(target)) {
        return existing;
    }
    auto* view = qobject_cast<QAbstractScrollArea*>(target);
    if (view == nullptr) {
        return nullptr;
    }
    auto* wrapper = new CSkinScrollWnd();
    if (wrapper->SkinWindow(view, bitmap) == 0) {
        delete wrapper;
        return nullptr;
    }
    return wrapper;
}

BOOL ShowSkinWndScroll(QWidget* target, int nCmdShow) {
    CSkinScrollWnd* wrapper = CSkinScrollWnd::FromTarget(target);
    if (wrapper == nullptr) {
        return 0;
    }
    wrapper->ShowWindow(nCmdShow);
    return 1;
}

BOOL MoveSkinWndScroll(QWidget* target, int x, int y, int cx, int cy) {
    CSkinScrollWnd* wrapper = CSkinScrollWnd::FromTarget(target);
    if (wrapper == nullptr) {
        return 0;
    }
    wrapper->MoveWindow(x, y, cx, cy, 1);
    return 1;
}

BOOL UnskinWndScroll(QWidget* target) {
    CSkinScrollWnd* wrapper = CSkinScrollWnd::FromTarget(target);
    if (wrapper == nullptr) {
        return 1;
    }
    wrapper->UnskinWindow();
    delete wrapper;
    return 1;
}

bool UseSkinScrollBars() {
    return true;
}
