#include "VexMenu.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QPainter>
#include <QPolygon>
#include <QProxyStyle>
#include <QStyleOption>

#include <algorithm>

#include "client/config/SkinGlobals.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Scale.h"
#include "platform/window/Window.h"

namespace {

// Every sub-menu handle appended by any VexMenu, program-wide.
std::vector<QPointer<QMenu>>& AllSubMenus() {
    static std::vector<QPointer<QMenu>> menus;
    return menus;
}

COLORREF ToRef(const QColor& color) {
    return RGB(color.red(), color.green(), color.blue());
}

// The system colours of a menu, taken from the desktop's palette.
struct MenuColors {
    QColor menu;
    QColor face;
    QColor text;
    QColor highlight;
    QColor highlightText;
    QColor grayText;
    QColor hilight3d;
    QColor shadow3d;
};

MenuColors ColorsOf(const QPalette& palette) {
    MenuColors colors;
    colors.menu = palette.color(QPalette::Active, QPalette::Window);
    colors.face = palette.color(QPalette::Active, QPalette::Button);
    colors.text = palette.color(QPalette::Active, QPalette::WindowText);
    colors.highlight = palette.color(QPalette::Active, QPalette::Highlight);
    colors.highlightText = palette.color(QPalette::Active, QPalette::HighlightedText);
    colors.grayText = palette.color(QPalette::Disabled, QPalette::WindowText);
    colors.hilight3d = palette.color(QPalette::Active, QPalette::Light);
    colors.shadow3d = palette.color(QPalette::Active, QPalette::Mid);
    return colors;
}

// Routes the menu's item measuring and painting to its VexMenu.
class VexMenuOwnerDraw : public QProxyStyle {
public:
    explicit VexMenuOwnerDraw(const VexMenu* menu) : menu_(menu) {}

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        const VexMenuData* data = DataOf(option, widget);
        if (type != CT_MenuItem || data == nullptr) {
            return QProxyStyle::sizeFromContents(type, option, size, widget);
        }
        QSize measured;
        menu_->MeasureItem(*data, &measured);
        // Qt hides an item of no width; the menu's width comes from its widest item anyway.
        return measured.expandedTo(QSize(1, 0));
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const VexMenuData* data = DataOf(option, widget);
        if (element != CE_MenuItem || data == nullptr) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        VexDrawItem item;
        item.painter = painter;
        item.rect = option->rect;
        item.selected = (option->state & State_Selected) != 0;
        item.grayed = (option->state & State_Enabled) == 0;
        item.checked = (data->nFlags & MF_CHECKED) != 0;
        item.data = data;
        menu_->DrawItem(item);
    }

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_MenuHMargin || metric == PM_MenuVMargin) {
            return 1;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

private:
    // The item record of the action the option stands for (VexQMenu names the action in the
    // option, for measuring as well as for painting).
    const VexMenuData* DataOf(const QStyleOption* option, const QWidget* widget) const {
        if (qobject_cast<const QMenu*>(widget) == nullptr ||
            qstyleoption_cast<const QStyleOptionMenuItem*>(option) == nullptr) {
            return nullptr;
        }
        const auto* action = qobject_cast<const QAction*>(option->styleObject);
        if (action == nullptr) {
            return nullptr;
        }
        const auto pointer = action->data().value<quintptr>();
        for (const auto& data : menu_->GetItems()) {
            if (reinterpret_cast<quintptr>(data.get()) == pointer) {
                return data.get();
            }
        }
        return nullptr;
    }

    const VexMenu* menu_;
};

// The Qt menu underneath: tells the style which action each item option stands for.
class VexQMenu : public QMenu {
protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
        QMenu::initStyleOption(option, action);
        option->styleObject = const_cast<QAction*>(action);
    }
};

}  // namespace

VexMenu::VexMenu() : m_bitmapBackground(RGB(192, 192, 192)) {}

VexMenu::~VexMenu() {
    DestroyMenu();
}

VexMenuStyle VexMenu::Style() {
    return VexMenuStyleFor(kVexSystemClass, false);
}

int VexMenu::MenuRowHeight() {
    // A menu row of the reference system is 20 pixels at scale 1; a larger desktop font
    // makes it taller so its text always fits.
    const QFontMetrics metrics(QApplication::font("QMenu"));
    return std::max(yav::Scaled(20), metrics.height() + 4);
}

BOOL VexMenu::CreatePopupMenu() {
    DestroyMenu();
    m_pMenu = new VexQMenu();
    m_pMenu->setAttribute(Qt::WA_DeleteOnClose, false);
    auto* style = new VexMenuOwnerDraw(this);
    style->setParent(m_pMenu);
    m_pMenu->setStyle(style);
    return 1;
}

BOOL VexMenu::AppendMenu(UINT flags, std::uintptr_t id, const QString& text, int iconIndex) {
    return AppendODMenu(text, flags, id, iconIndex);
}

BOOL VexMenu::AppendODMenu(const QString& text, UINT flags, std::uintptr_t id, int iconIndex) {
    if (m_pMenu == nullptr) {
        return 0;
    }
    if (id == 0 && (flags & MF_POPUP) == 0) {
        flags = MF_SEPARATOR | MF_OWNERDRAW | (flags & MF_BYPOSITION);
    } else {
        flags |= MF_OWNERDRAW;
    }
    auto data = std::make_unique<VexMenuData>();
    data->strText = text;
    data->nFlags = flags;
    data->nID = id;
    // Icons would come from a shared list by command id; no owner of this program adds any,
    // so every item draws its check column only.
    static_cast<void>(iconIndex);

    QAction* action = nullptr;
    if ((flags & MF_SEPARATOR) != 0) {
        action = m_pMenu->addSeparator();
    } else if ((flags & MF_POPUP) != 0) {
        auto* subMenu = reinterpret_cast<QMenu*>(id);
        if (subMenu == nullptr) {
            return 0;
        }
        AllSubMenus().emplace_back(subMenu);
        m_SubMenus.emplace_back(subMenu);
        action = m_pMenu->addMenu(subMenu);
        // Qt reads mnemonics from '&'; the owner-drawn text shows every character as it is.
        action->setText(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
    } else {
        action = m_pMenu->addAction(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
    }
    action->setEnabled((flags & (MF_GRAYED | MF_DISABLED)) == 0);
    action->setCheckable((flags & MF_CHECKED) != 0);
    action->setChecked((flags & MF_CHECKED) != 0);
    action->setData(QVariant::fromValue(reinterpret_cast<quintptr>(data.get())));
    m_MenuList.push_back(std::move(data));
    return 1;
}

QAction* VexMenu::GetAction(UINT idOrPosition, UINT flags) const {
    if (m_pMenu == nullptr) {
        return nullptr;
    }
    const QList<QAction*> actions = m_pMenu->actions();
    if ((flags & MF_BYPOSITION) != 0) {
        return idOrPosition < static_cast<UINT>(actions.size())
                   ? actions[static_cast<int>(idOrPosition)]
                   : nullptr;
    }
    for (QAction* action : actions) {
        const auto* data = reinterpret_cast<const VexMenuData*>(action->data().value<quintptr>());
        if (data != nullptr && (data->nFlags & (MF_SEPARATOR | MF_POPUP)) == 0 &&
            data->nID == idOrPosition) {
            return action;
        }
    }
    return nullptr;
}

int VexMenu::CheckMenuItem(UINT idOrPosition, UINT flags) {
    QAction* action = GetAction(idOrPosition, flags);
    if (action == nullptr) {
        return -1;
    }
    auto* data = reinterpret_cast<VexMenuData*>(action->data().value<quintptr>());
    const int previous = static_cast<int>(data->nFlags & MF_CHECKED);
    data->nFlags = (data->nFlags & ~MF_CHECKED) | (flags & MF_CHECKED);
    action->setCheckable((data->nFlags & MF_CHECKED) != 0);
    action->setChecked((data->nFlags & MF_CHECKED) != 0);
    return previous;
}

int VexMenu::EnableMenuItem(UINT idOrPosition, UINT flags) {
    QAction* action = GetAction(idOrPosition, flags);
    if (action == nullptr) {
        return -1;
    }
    auto* data = reinterpret_cast<VexMenuData*>(action->data().value<quintptr>());
    const int previous = static_cast<int>(data->nFlags & (MF_GRAYED | MF_DISABLED));
    data->nFlags =
        (data->nFlags & ~(MF_GRAYED | MF_DISABLED)) | (flags & (MF_GRAYED | MF_DISABLED));
    action->setEnabled((data->nFlags & (MF_GRAYED | MF_DISABLED)) == 0);
    return previous;
}

int VexMenu::GetMenuItemCount() const {
    return m_pMenu != nullptr ? static_cast<int>(m_pMenu->actions().size()) : -1;
}

BOOL VexMenu::TrackPopupMenu(UINT flags, int x, int y, QWidget* owner) {
    if (m_pMenu == nullptr || m_pMenu->actions().isEmpty()) {
        return 0;
    }
    QAction* chosen = m_pMenu->exec(QPoint(x, y));
    // Qt flips a checkable action when it is chosen; the check marks are the owner's.
    for (QAction* action : m_pMenu->actions()) {
        if (const auto* data =
                reinterpret_cast<const VexMenuData*>(action->data().value<quintptr>())) {
            action->setChecked((data->nFlags & MF_CHECKED) != 0);
        }
    }
    std::uintptr_t id = 0;
    if (chosen != nullptr) {
        if (const auto* data =
                reinterpret_cast<const VexMenuData*>(chosen->data().value<quintptr>())) {
            id = data->nID;
        } else {
            // An item of a plain Qt sub-menu: no command of ours.
            id = 0;
        }
    }
    if ((flags & TPM_RETURNCMD) != 0) {
        return static_cast<BOOL>(id);
    }
    if (id != 0 && owner != nullptr) {
        yav::PostMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), 0), 0);
    }
    return 1;
}

BOOL VexMenu::DestroyMenu() {
    if (m_pMenu == nullptr) {
        m_MenuList.clear();
        return 0;
    }
    auto& all = AllSubMenus();
    all.erase(std::remove_if(all.begin(), all.end(),
                             [this](const QPointer<QMenu>& menu) {
                                 return menu.isNull() || menu == m_pMenu ||
                                        std::find(m_SubMenus.begin(), m_SubMenus.end(), menu) !=
                                            m_SubMenus.end();
                             }),
              all.end());
    // Sub-menus belong to their own VexMenu objects, which destroy them.
    m_SubMenus.clear();
    QMenu* menu = m_pMenu;
    m_pMenu = nullptr;
    delete menu;
    m_MenuList.clear();
    return 1;
}

void VexMenu::MeasureItem(const VexMenuData& data, QSize* size) const {
    VexMenuMeasureInput input;
    input.separator = (data.nFlags & MF_SEPARATOR) != 0;
    input.iconWidth = m_iconX;
    input.iconHeight = m_iconY;
    input.menuRowHeight = MenuRowHeight();
    if (!input.separator) {
        // The system menu font, one pixel larger, as the reference measures it.
        QFont font = QApplication::font("QMenu");
        font.setPixelSize(QFontInfo(font).pixelSize() + 1);
        input.textWidth = QFontMetrics(font).horizontalAdvance(data.strText);
    }
    *size = MeasureVexMenuItem(Style(), input);
}

void VexMenu::DrawItem(const VexDrawItem& item) const {
    if (item.painter == nullptr || item.data == nullptr) {
        return;
    }
    QPainter& painter = *item.painter;
    const VexMenuStyle style = Style();
    const QPalette palette = m_pMenu != nullptr ? m_pMenu->palette() : QApplication::palette();
    const MenuColors colors = ColorsOf(palette);
    const QColor background = style.xpThemed ? colors.face : colors.menu;
    const VexMenuData& data = *item.data;
    painter.save();

    if ((data.nFlags & MF_SEPARATOR) != 0) {
        painter.fillRect(item.rect, background);
        const int y = item.rect.top() + item.rect.height() / 2;
        painter.setPen(colors.shadow3d);
        painter.drawLine(item.rect.left(), y, item.rect.right(), y);
        painter.setPen(colors.hilight3d);
        painter.drawLine(item.rect.left(), y + 1, item.rect.right(), y + 1);
        painter.restore();
        return;
    }

    const bool hasIconOrCheck = data.HasImage() || item.checked;
    const VexMenuItemGeometry geometry =
        VexMenuItemLayout(item.rect, m_iconX, m_iconY, hasIconOrCheck);
    const QColor textColor = item.selected ? colors.highlightText : colors.text;
    painter.fillRect(item.rect, background);
    if (item.selected) {
        painter.fillRect(geometry.highlight, colors.highlight);
    }

    if (item.checked && !data.HasImage()) {
        const QColor frameFill =
            item.selected ? background : yav::ColorFromRef(VexLightenColor(ToRef(background), 0.6));
        painter.fillRect(geometry.iconFrame, frameFill);
        // The check glyph shows the state on every system, themed or not.
        const QRect frame = geometry.iconFrame;
        const QPoint centre = frame.center();
        const QPolygon check({QPoint(centre.x() - 3, centre.y() - 1),
                              QPoint(centre.x() - 1, centre.y() + 1),
                              QPoint(centre.x() + 3, centre.y() - 3)});
        QPen pen(colors.text, 2);
        painter.setPen(pen);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.drawPolyline(check);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    const QString text = VexMenuVisibleText(data.strText);
    if (!text.isEmpty()) {
        const QFont font = g_fontUI;
        painter.setFont(font);
        const QRect textRect = geometry.text;
        const QString shown =
            QFontMetrics(font).elidedText(text, Qt::ElideRight, std::max(textRect.width(), 0));
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        if (!item.grayed) {
            painter.setPen(textColor);
            painter.drawText(textRect, flags, shown);
        } else if (!item.selected) {
            painter.setPen(colors.hilight3d);
            painter.drawText(textRect.translated(1, 1), flags, shown);
            painter.setPen(colors.grayText);
            painter.drawText(textRect, flags, shown);
        } else {
            painter.setPen(background);
            painter.drawText(textRect, flags, shown);
        }
    }
    painter.restore();
}
