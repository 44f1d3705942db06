#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTreeWidget>

#include <functional>

namespace vrs {

// The identifier tree of the ZMT window: a group node per identifier with
// one child that carries the identifier's index in the model.  The "Dec" and
// "Hex" cells of a child open an in-place spin editor on a click; every
// change of the editor is passed on at once.
class TZmtIdTree : public QTreeWidget {
    Q_OBJECT
public:
    enum Column { colName = 0, colDec = 1, colHex = 2 };
    // The item data role holding the identifier's index in the model.
    static constexpr int IdIndexRole = Qt::UserRole + 1;

    explicit TZmtIdTree(QWidget *parent = nullptr);

    // Called with the identifier's index and the new value.
    void SetValueSink(std::function<void(int, int)> sink) { FSink = std::move(sink); }

    // Rebuilds the tree: one group per (group caption, label, value).
    struct Row {
        QString group;
        QString label;
        int value;
    };
    void SetRows(const QList<Row> &rows);
    // Shows a new value in the Dec and Hex cells of an identifier.
    void ShowValue(int idIndex, int value);
    QTreeWidgetItem *IdentifierItem(int idIndex) const;

    // The in-place editor open now, or nullptr.
    QWidget *OpenEditor() const;
    // Closes the editor; with commit, its value is stored once more.
    void CloseEditor(bool commit = true);

private:
    void OnItemClicked(QTreeWidgetItem *item, int column);

    std::function<void(int, int)> FSink;
    QPointer<QWidget> FEditor;
    friend class TZmtIdDelegate;
};

// Paints the grid and the row height of the tree, and makes its editors.
class TZmtIdDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TZmtIdDelegate(TZmtIdTree *tree);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    TZmtIdTree *FTree;
};

} // namespace vrs
