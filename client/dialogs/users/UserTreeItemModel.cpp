#include "UserTreeItemModel.h"

namespace yav::users {

UserTreeItemModel::UserTreeItemModel(UserTree& tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree) {
    m_tree.SetObserver(this);
}

UserTreeItemModel::~UserTreeItemModel() {
    m_tree.SetObserver(nullptr);
}

const TreeNode* UserTreeItemModel::NodeAt(const QModelIndex& index) const {
    return index.isValid() ? static_cast<const TreeNode*>(index.internalPointer()) : &m_tree.Root();
}

TreeNode* UserTreeItemModel::NodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<TreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex UserTreeItemModel::IndexOf(const TreeNode* node) const {
    if (node == nullptr || node->parent == nullptr) {
        return {};
    }
    const int row = node->Row();
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TreeNode*>(node));
}

QString UserTreeItemModel::RowText(const TreeNode& node) const {
    if (node.IsDept()) {
        return node.dept.Caption();
    }
    if (m_tree.GetLocalUser() != 0 && node.user.userId == m_tree.GetLocalUser() &&
        !m_meText.isEmpty()) {
        return QStringLiteral("%1 (%2)").arg(node.user.name, m_meText);
    }
    return node.user.name;
}

QModelIndex UserTreeItemModel::index(int row, int column, const QModelIndex& parent) const {
    const TreeNode* at = NodeAt(parent);
    if (column != 0 || row < 0 || at == nullptr || row >= static_cast<int>(at->children.size())) {
        return {};
    }
    return createIndex(row, 0, at->children[static_cast<std::size_t>(row)].get());
}

QModelIndex UserTreeItemModel::parent(const QModelIndex& child) const {
    const TreeNode* node = NodeOf(child);
    if (node == nullptr || node->parent == nullptr || node->parent == &m_tree.Root()) {
        return {};
    }
    return IndexOf(node->parent);
}

int UserTreeItemModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    const TreeNode* at = NodeAt(parent);
    return at == nullptr ? 0 : static_cast<int>(at->children.size());
}

int UserTreeItemModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant UserTreeItemModel::data(const QModelIndex& index, int role) const {
    const TreeNode* node = NodeOf(index);
    if (node == nullptr) {
        return {};
    }
    // No tool tip: Qt would take a name that looks like markup for rich text.
    if (role == Qt::DisplayRole) {
        return RowText(*node);
    }
    if (role == kNodeRole) {
        return QVariant::fromValue(static_cast<const void*>(node));
    }
    return {};
}

void UserTreeItemModel::BeginInsert(const TreeNode* parent, int row) {
    beginInsertRows(IndexOf(parent), row, row);
}

void UserTreeItemModel::EndInsert() {
    endInsertRows();
}

void UserTreeItemModel::BeginRemove(const TreeNode* parent, int row) {
    beginRemoveRows(IndexOf(parent), row, row);
}

void UserTreeItemModel::EndRemove() {
    endRemoveRows();
}

void UserTreeItemModel::BeginReset() {
    beginResetModel();
}

void UserTreeItemModel::EndReset() {
    endResetModel();
}

void UserTreeItemModel::RowChanged(const TreeNode* node) {
    const QModelIndex at = IndexOf(node);
    if (at.isValid()) {
        emit dataChanged(at, at);
    }
}

}  // namespace yav::users
