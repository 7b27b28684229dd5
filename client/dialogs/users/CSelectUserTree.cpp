#include "CSelectUserTree.h"

#include <QAbstractListModel>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "Common/MessageIds.h"
#include "ConfigManger.h"
#include "SkinGlobals.h"
#include "platform/core/Scale.h"
#include "ui/UiFonts.h"

namespace {

constexpr int kRowHeightDesign = 25;
constexpr int kCheckAreaDesign = 19;
constexpr int kCheckLeftDesign = 15;
constexpr int kCheckTopDesign = 6;
constexpr int kCheckSizeDesign = 12;
constexpr std::uint32_t kBitmapRow = 86;
constexpr std::uint32_t kBitmapChecked = 88;
constexpr std::uint32_t kBitmapUnchecked = 90;

}  // namespace

// The rows of the entries for the view; the entries stay the list's.
class SelectUserListModel : public QAbstractListModel {
public:
    explicit SelectUserListModel(const yav::users::SelectUserEntries& entries)
        : m_entries(entries) {}
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : m_entries.RowCount();
    }
    QVariant data(const QModelIndex& index, int role) const override {
        const auto* entry = m_entries.EntryOfRow(index.row());
        if (entry == nullptr) {
            return {};
        }
        if (role == Qt::DisplayRole) {
            return entry->name;
        }
        if (role == Qt::CheckStateRole) {
            return entry->checked != 0 ? Qt::Checked : Qt::Unchecked;
        }
        return {};
    }
    void Reset(const std::function<void()>& change) {
        beginResetModel();
        change();
        endResetModel();
    }
    void RowsChanged() {
        if (rowCount({}) > 0) {
            emit dataChanged(index(0), index(rowCount({}) - 1));
        }
    }

private:
    const yav::users::SelectUserEntries& m_entries;
};

namespace {

// Row background, the name as plain text, and the check mark at the right edge.
class SelectUserDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        const QRect row = option.rect;
        const QPixmap background = LoadSkinBitmap(kBitmapRow);
        if (!background.isNull()) {
            painter->drawPixmap(QPoint(0, row.top()), background);
        }
        const int clientRight = option.widget != nullptr ? option.widget->width() : row.right();
        painter->setFont(g_fontUI);
        painter->setPen(Qt::black);
        const QRect textRect(
            row.left() + yav::Scaled(4), row.top(),
            clientRight - yav::Scaled(kCheckAreaDesign) - row.left() - yav::Scaled(4),
            row.height());
        const QString name = index.data(Qt::DisplayRole).toString();
        painter->drawText(
            textRect, Qt::AlignVCenter | Qt::AlignLeft | Qt::TextSingleLine,
            painter->fontMetrics().elidedText(name, Qt::ElideRight, textRect.width()));
        const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
        const QPixmap mark = LoadSkinBitmap(checked ? kBitmapChecked : kBitmapUnchecked);
        const QRect markRect(clientRight - yav::Scaled(kCheckLeftDesign),
                             row.top() + yav::Scaled(kCheckTopDesign),
                             yav::Scaled(kCheckSizeDesign), yav::Scaled(kCheckSizeDesign));
        if (!mark.isNull()) {
            painter->drawPixmap(markRect, mark);
        } else {
            painter->setPen(QColor(0x66, 0x66, 0x66));
            painter->drawRect(markRect.adjusted(0, 0, -1, -1));
            if (checked) {
                painter->fillRect(markRect.adjusted(2, 2, -2, -2), QColor(0x33, 0x85, 0xED));
            }
        }
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return {QStyledItemDelegate::sizeHint(option, index).width(),
                yav::Scaled(kRowHeightDesign)};
    }
};

}  // namespace

CSelectUserTree::CSelectUserTree(QWidget* parent)
    : yav::WindowT<QTreeView>(parent), m_model(std::make_unique<SelectUserListModel>(m_entries)) {
    setModel(m_model.get());
    setItemDelegate(new SelectUserDelegate(this));
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    QPalette colours = palette();
    colours.setColor(QPalette::Base, yav::ColorFromRef(g_clrSkinList));
    setPalette(colours);
}

CSelectUserTree::~CSelectUserTree() {
    setModel(nullptr);
}

void CSelectUserTree::AddUser(std::uint32_t key, const QString& name, std::uint32_t checked) {
    m_model->Reset([&] { m_entries.AddUser(key, name, checked); });
}

void CSelectUserTree::SetAllChecked(std::uint32_t checked) {
    m_entries.SetAllChecked(checked);
    m_model->RowsChanged();
    viewport()->update();
}

bool CSelectUserTree::IsAllChecked() const {
    return m_entries.IsAllChecked();
}

void CSelectUserTree::GetCheckedUsers(
    std::vector<yav::users::SelectUserEntry>& checkedList,
    std::vector<yav::users::SelectUserEntry>& uncheckedList) const {
    m_entries.GetCheckedUsers(checkedList, uncheckedList);
}

void CSelectUserTree::DeleteAllItems() {
    m_model->Reset([&] { m_entries.Clear(); });
}

bool CSelectUserTree::IsInCheckArea(int x) const {
    return x > viewport()->width() - yav::Scaled(kCheckAreaDesign);
}

void CSelectUserTree::OnClick(const QPoint& point) {
    const QModelIndex index = indexAt(point);
    if (!index.isValid() || !IsInCheckArea(point.x())) {
        return;
    }
    const auto allChecked = m_entries.ToggleRow(index.row());
    if (!allChecked.has_value()) {
        return;
    }
    // A key shown in several rows: all of them change.
    m_model->RowsChanged();
    viewport()->update();
    if (QWidget* parent = parentWidget(); parent != nullptr) {
        yav::PostMessage(parent, WM_SELECTUSER_CHANGED, *allChecked ? 1 : 0, 0);
    }
}

void CSelectUserTree::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        OnClick(event->position().toPoint());
    }
    QTreeView::mouseReleaseEvent(event);
}
