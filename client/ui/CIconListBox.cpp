#include "CIconListBox.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "client/Common/MessageIds.h"
#include "client/Common/StringUtil.h"
#include "client/ui/UiFonts.h"
#include "platform/core/Scale.h"

namespace {

constexpr int kRecordRole = Qt::UserRole + 1;
constexpr int kShownCharacters = 12;
const QColor kSelectedRow(240, 240, 240);
const QColor kRowText(71, 86, 105);

}  // namespace

// Paints a row as the list box's DrawItem does.
class IconListDelegate : public QStyledItemDelegate {
public:
    explicit IconListDelegate(CIconListBox* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(), list_->m_nItemHeight);
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const double scale = g_fExchangePW;
        const QRect row = option.rect;
        painter->save();
        painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
        painter->setRenderHint(QPainter::Antialiasing, true);
        painter->fillRect(row, Qt::white);
        if ((option.state & QStyle::State_Selected) != 0) {
            painter->fillRect(row, kSelectedRow);
        }
        const QString text = index.data(Qt::DisplayRole).toString();
        int textLeft = row.left();
        int textRight = row.left() + row.width();
        if (list_->m_bTitle != 0 && index.row() == 0) {
            DrawText(painter, text,
                     QRect(row.left() + static_cast<int>(2 * scale), row.top(), row.width(),
                           row.height()));
            painter->restore();
            return;
        }
        if (list_->m_pLeft != nullptr) {
            const QSize icon = HalfScaled(*list_->m_pLeft, scale);
            const int x = row.left() + static_cast<int>(2 * scale);
            painter->drawImage(
                QRect(QPoint(x, row.top() + (row.height() - icon.height()) / 2), icon),
                *list_->m_pLeft);
            textLeft += icon.width();
        }
        if (list_->m_bStateIcons != 0) {
            const auto record = index.data(kRecordRole).value<quintptr>();
            const bool marked = CIconListBox::IsMarked(reinterpret_cast<const void*>(record));
            const QImage* state = marked ? list_->m_pMarked : list_->m_pUnmarked;
            if (state != nullptr) {
                const QSize icon = HalfScaled(*state, scale);
                const int x = static_cast<int>(row.left() + row.width() - icon.width() - 5 * scale);
                painter->drawImage(
                    QRect(QPoint(x, row.top() + (row.height() - icon.height()) / 2), icon), *state);
                textRight = x;
            }
        }
        const int left = textLeft + static_cast<int>(2 * scale);
        DrawText(painter, TruncateWithEllipsis(text, kShownCharacters),
                 QRect(left, row.top(), std::max(textRight - left, 0), row.height()));
        painter->restore();
    }

private:
    static QSize HalfScaled(const QImage& image, double scale) {
        return QSize(static_cast<int>(image.width() * 0.5 * scale),
                     static_cast<int>(image.height() * 0.5 * scale));
    }

    void DrawText(QPainter* painter, const QString& text, const QRect& rect) const {
        if (text.isEmpty()) {
            return;
        }
        // The UI font's faces ("微软雅黑" and its Linux stand-ins) at 12 pixels times the scale.
        QFont font = g_fontUI;
        font.setPixelSize(std::max(static_cast<int>(12 * g_fExchangePW), 1));
        painter->setFont(font);
        painter->setPen(kRowText);
        painter->drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    }

    CIconListBox* list_;
};

CIconListBox::CIconListBox(QWidget* parent) : yav::WindowT<QListWidget>(parent) {
    setItemDelegate(new IconListDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
}

void CIconListBox::SetImages(QImage* left, QImage* marked, QImage* unmarked) {
    m_pLeft = left;
    m_pMarked = marked;
    m_pUnmarked = unmarked;
    viewport()->update();
}

bool CIconListBox::IsMarked(const void* record) {
    return record != nullptr && static_cast<const std::uint8_t*>(record)[kMarkedOffset] != 0;
}

int CIconListBox::AddString(const QString& text) {
    addItem(text);
    return count() - 1;
}

QString CIconListBox::GetText(int row) const {
    const QListWidgetItem* entry = item(row);
    return entry != nullptr ? entry->text() : QString();
}

int CIconListBox::GetCurSel() const {
    const QList<QListWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : row(selected.front());
}

int CIconListBox::SetCurSel(int index) {
    QListWidgetItem* entry = item(index);
    if (entry == nullptr) {
        clearSelection();
        return -1;
    }
    setCurrentItem(entry);
    return index;
}

BOOL CIconListBox::SetItemDataPtr(int index, const void* record) {
    QListWidgetItem* entry = item(index);
    if (entry == nullptr) {
        return 0;
    }
    entry->setData(kRecordRole, QVariant::fromValue(reinterpret_cast<quintptr>(record)));
    viewport()->update(visualItemRect(entry));
    return 1;
}

const void* CIconListBox::GetItemDataPtr(int index) const {
    const QListWidgetItem* entry = item(index);
    return entry != nullptr
               ? reinterpret_cast<const void*>(entry->data(kRecordRole).value<quintptr>())
               : nullptr;
}

void CIconListBox::SetItemHeight(int height) {
    m_nItemHeight = std::max(height, 1);
    doItemsLayout();
}

void CIconListBox::Report(int code, int index) {
    ICONLIST_CLICK record;
    record.nCode = code;
    record.nIndex = index;
    yav::SendMessage(parentWidget(), WM_ICONLISTBOX_CLICK,
                     reinterpret_cast<WPARAM>(static_cast<QWidget*>(this)),
                     reinterpret_cast<LPARAM>(&record));
}

void CIconListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        yav::WindowT<QListWidget>::mousePressEvent(event);
        return;
    }
    Report(kIconListPressed, 0);
    // The row under the point, scrolling included (-1 below the last row).
    const int row = indexAt(event->position().toPoint()).row();
    const IconListPressOutcome outcome = IconListPressRules(row, m_bTitle != 0);
    if (!outcome.passToList) {
        event->accept();
        return;
    }
    yav::WindowT<QListWidget>::mousePressEvent(event);
    if (outcome.afterPress) {
        Report(outcome.afterPress->code, outcome.afterPress->index);
    }
}

void CIconListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (const std::optional<IconListClick> click = IconListDoubleClickRules(GetCurSel())) {
            Report(click->code, click->index);
            event->accept();
            return;
        }
    }
    yav::WindowT<QListWidget>::mouseDoubleClickEvent(event);
}
