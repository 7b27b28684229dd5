#include "CListCtrlCl.h"

#include <QPainter>
#include <QStyledItemDelegate>

#include "client/config/SkinGlobals.h"
#include "client/ui/ListHeaderLook.h"
#include "platform/core/Scale.h"

namespace {

// Paints every cell as the list's DrawItem does: its own fill, its colour, its alignment.
class ListCellDelegate : public QStyledItemDelegate {
public:
    explicit ListCellDelegate(CListCtrlCl* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(list_->RowHeight());
        return size;
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        painter->save();
        const bool selected = (option.state & QStyle::State_Selected) != 0;
        const QPalette& palette = list_->palette();
        painter->fillRect(option.rect, selected
                                           ? palette.color(QPalette::Active, QPalette::Highlight)
                                           : palette.color(QPalette::Active, QPalette::Base));
        painter->setPen(selected ? palette.color(QPalette::Active, QPalette::HighlightedText)
                                 : yav::ColorFromRef(list_->m_color));
        QFont font(list_->font());
        font.setFamilies(
            {QStringLiteral("宋体"), QStringLiteral("SimSun"), list_->font().family()});
        font.setPixelSize(std::max(yav::Scaled(list_->m_fontHeight), 1));
        painter->setFont(font);
        painter->drawText(
            option.rect,
            list_->ColumnAlignment(index.column()) | Qt::AlignVCenter | Qt::TextSingleLine,
            index.data(Qt::DisplayRole).toString());
        if ((list_->GetExtendedStyle() & LVS_EX_GRIDLINES) != 0) {
            painter->setPen(palette.color(QPalette::Active, QPalette::Midlight));
            painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
            painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
        }
        painter->restore();
    }

private:
    CListCtrlCl* list_;
};

}  // namespace

CListCtrlCl::CListCtrlCl(QWidget* parent)
    : yav::WindowT<QTreeWidget>(parent), m_Header(*new CHeaderCtrlCl(this)) {
    setHeader(&m_Header);
    setColumnCount(0);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setItemDelegate(new ListCellDelegate(this));
    m_Header.setStretchLastSection(false);
}

int CListCtrlCl::InsertColumn(int column, const QString& heading, int format, int width,
                              int /*subItem*/) {
    m_Header.m_HChar.append(heading);
    m_Header.m_Format.append(QLatin1Char(ListAlignmentCodeForFormat(format)));
    const int count = columnCount();
    const int index = std::clamp(column, 0, count);
    setColumnCount(count + 1);
    QTreeWidgetItem* header = headerItem();
    // Qt keeps headings by column; later columns move one place on.
    for (int i = count; i > index; --i) {
        header->setText(i, header->text(i - 1));
    }
    header->setText(index, heading);
    if (width >= 0) {
        setColumnWidth(index, width);
    }
    return index;
}

void CListCtrlCl::SetHeaderBkColor(int r, int g, int b, int step) {
    m_Header.m_R = r;
    m_Header.m_G = g;
    m_Header.m_B = b;
    m_Header.m_Gradient = step;
    m_Header.viewport()->update();
}

void CListCtrlCl::SetHeaderFontSize(int height, int width) {
    m_Header.m_fontHeight = height;
    m_Header.m_fontWidth = width;
    m_Header.viewport()->update();
}

int CListCtrlCl::RowHeight() const {
    if (m_nRowHeight >= 1) {
        return m_nRowHeight;
    }
    return QFontMetrics(font()).height() + 4;
}

void CListCtrlCl::SetRowHeight(int height) {
    m_nRowHeight = height;
    // The list asks for the row height again.
    doItemsLayout();
    viewport()->update();
}

void CListCtrlCl::SetExtendedStyle(DWORD style) {
    m_dwExStyle = style;
    viewport()->update();
}

void CListCtrlCl::SetBkColor(COLORREF color) {
    QPalette colors = palette();
    colors.setColor(QPalette::Base, yav::ColorFromRef(color));
    setPalette(colors);
}

COLORREF CListCtrlCl::GetBkColor() const {
    const QColor color = palette().color(QPalette::Active, QPalette::Base);
    return RGB(color.red(), color.green(), color.blue());
}

Qt::Alignment CListCtrlCl::ColumnAlignment(int column) const {
    const QString& codes = m_Header.m_Format;
    return ListAlignmentForCode(column >= 0 && column < codes.size() ? codes.at(column).toLatin1()
                                                                     : '1');
}

int CListCtrlCl::InsertItem(int row, const QString& text) {
    const int index = std::clamp(row, 0, topLevelItemCount());
    auto* item = new QTreeWidgetItem();
    item->setText(0, text);
    insertTopLevelItem(index, item);
    return index;
}

BOOL CListCtrlCl::SetItemText(int row, int column, const QString& text) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr || column < 0 || column >= columnCount()) {
        return 0;
    }
    item->setText(column, text);
    return 1;
}

QString CListCtrlCl::GetItemText(int row, int column) const {
    const QTreeWidgetItem* item = topLevelItem(row);
    return item != nullptr ? item->text(column) : QString();
}

BOOL CListCtrlCl::DeleteItem(int row) {
    QTreeWidgetItem* item = takeTopLevelItem(row);
    delete item;
    return item != nullptr ? 1 : 0;
}

BOOL CListCtrlCl::DeleteAllItems() {
    clear();
    return 1;
}

int CListCtrlCl::GetSelectionMark() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : indexOfTopLevelItem(selected.front());
}

void CListCtrlCl::SetSelectionMark(int row) {
    if (QTreeWidgetItem* item = topLevelItem(row)) {
        setCurrentItem(item);
    } else {
        clearSelection();
    }
}
