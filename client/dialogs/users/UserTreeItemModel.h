#pragma once
// A participant tree as a Qt item model for its view: rows are the tree's nodes, structural
// changes arrive through ITreeObserver, and the model never changes the tree.

#include <QAbstractItemModel>

#include "UserTree.h"

namespace yav::users {

class UserTreeItemModel : public QAbstractItemModel, public ITreeObserver {
public:
    // The node of an index (const TreeNode*) under this role.
    static constexpr int kNodeRole = Qt::UserRole + 1;

    explicit UserTreeItemModel(UserTree& tree, QObject* parent = nullptr);
    ~UserTreeItemModel() override;

    UserTree& Tree() { return m_tree; }
    QModelIndex IndexOf(const TreeNode* node) const;
    static TreeNode* NodeOf(const QModelIndex& index);
    // The text my own rows append to my name ("%s (%s)").
    void SetMeText(const QString& text) { m_meText = text; }
    // The text a row shows: a department's caption, a user's name (mine marked).
    QString RowText(const TreeNode& node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent) const override;
    int columnCount(const QModelIndex& parent) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void BeginInsert(const TreeNode* parent, int row) override;
    void EndInsert() override;
    void BeginRemove(const TreeNode* parent, int row) override;
    void EndRemove() override;
    void BeginReset() override;
    void EndReset() override;
    void RowChanged(const TreeNode* node) override;

private:
    const TreeNode* NodeAt(const QModelIndex& index) const;

    UserTree& m_tree;
    QString m_meText;
};

}  // namespace yav::users
