#include "devices/zmt/gui/zmt_id_tree.h"

#include "devices/zmt/zmt_model.h"
#include "shell/hex_spin_box.h"

#include <QHeaderView>
#include <QPainter>
#include <QSpinBox>

namespace vrs {

namespace {

const QColor kGroupColour(227, 231, 251);
const QColor kIdentifierColour(255, 255, 221);
const QColor kGridColour(200, 200, 200);
constexpr int kRowHeight = 21;

void Paint(QTreeWidgetItem *item, const QColor &colour)
{
    for (int c = 0; c < TZmtIdTree::colHex + 1; ++c)
        item->setBackground(c, colour);
}

} // namespace

TZmtIdTree::TZmtIdTree(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("vtIDs"));
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Идентификаторы"), QStringLiteral("Dec"),
                     QStringLiteral("Hex")});
    QHeaderView *head = header();
    head->setVisible(true);
    head->setSectionsMovable(true);
    head->setStretchLastSection(false);
    head->setMinimumSectionSize(50);
    head->setSectionResizeMode(colName, QHeaderView::Interactive);
    head->setSectionResizeMode(colDec, QHeaderView::Fixed);
    head->setSectionResizeMode(colHex, QHeaderView::Fixed);
    head->resizeSection(colName, 240);
    head->resizeSection(colDec, 120);
    head->resizeSection(colHex, 120);

    setRootIsDecorated(true);
    setUniformRowHeights(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Both groups always stay open.
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem *item) { expandItem(item); });

    auto *delegate = new TZmtIdDelegate(this);
    setItemDelegate(delegate);
    connect(delegate, &QAbstractItemDelegate::closeEditor, this, [this](QWidget *editor) {
        if (FEditor == editor)
            FEditor = nullptr;
    });
    connect(this, &QTreeWidget::itemClicked, this, &TZmtIdTree::OnItemClicked);
}

void TZmtIdTree::SetRows(const QList<Row> &rows)
{
    // New rows come with new values: an editor still open over the old ones
    // must not write its value over them.
    CloseEditor(false);
    clear();
    for (int i = 0; i < rows.size(); ++i) {
        auto *group = new QTreeWidgetItem(this, {rows[i].group});
        group->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        Paint(group, kGroupColour);
        auto *id = new QTreeWidgetItem(group, {rows[i].label});
        id->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        id->setData(colName, IdIndexRole, i);
        Paint(id, kIdentifierColour);
        ShowValue(i, rows[i].value);
    }
    expandAll();
}

QTreeWidgetItem *TZmtIdTree::IdentifierItem(int idIndex) const
{
    for (int g = 0; g < topLevelItemCount(); ++g) {
        QTreeWidgetItem *group = topLevelItem(g);
        for (int c = 0; c < group->childCount(); ++c)
            if (group->child(c)->data(colName, IdIndexRole).toInt() == idIndex)
                return group->child(c);
    }
    return nullptr;
}

void TZmtIdTree::ShowValue(int idIndex, int value)
{
    if (QTreeWidgetItem *item = IdentifierItem(idIndex)) {
        item->setText(colDec, QString::number(value));
        item->setText(colHex, ZmtModel::hexText(quint16(value)));
    }
}

QWidget *TZmtIdTree::OpenEditor() const
{
    return FEditor;
}

void TZmtIdTree::CloseEditor(bool commit)
{
    if (!FEditor)
        return;
    QWidget *editor = FEditor;
    if (commit)
        commitData(editor);
    // From here on the editor is gone for the tree, also for the focus loss
    // its removal causes.
    FEditor = nullptr;
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TZmtIdTree::OnItemClicked(QTreeWidgetItem *item, int column)
{
    if (!item || !item->parent() || (column != colDec && column != colHex)
        || !item->data(colName, IdIndexRole).isValid())
        return;
    CloseEditor();
    editItem(item, column);
}

TZmtIdDelegate::TZmtIdDelegate(TZmtIdTree *tree) : QStyledItemDelegate(tree), FTree(tree) {}

QWidget *TZmtIdDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                      const QModelIndex &index) const
{
    const QModelIndex nameIndex = index.siblingAtColumn(TZmtIdTree::colName);
    const QVariant idIndex = nameIndex.data(TZmtIdTree::IdIndexRole);
    if (!idIndex.isValid())
        return nullptr;
    QSpinBox *editor = index.column() == TZmtIdTree::colHex ? new THexSpinBox(parent)
                                                            : new QSpinBox(parent);
    editor->setObjectName(index.column() == TZmtIdTree::colHex ? QStringLiteral("edHex")
                                                               : QStringLiteral("edDec"));
    editor->setRange(0, 65535);
    editor->setFrame(true);
    editor->setValue(index.siblingAtColumn(TZmtIdTree::colDec).data().toInt());
    const int id = idIndex.toInt();
    TZmtIdTree *tree = FTree;
    connect(editor, &QSpinBox::valueChanged, tree, [tree, id](int value) {
        if (tree->FSink)
            tree->FSink(id, value);
    });
    tree->FEditor = editor;
    return editor;
}

void TZmtIdDelegate::setEditorData(QWidget *, const QModelIndex &) const
{
    // The editor starts from the cell and then leads: the cells follow every
    // change it makes, and must not be copied back into it while typing.
}

void TZmtIdDelegate::setModelData(QWidget *editor, QAbstractItemModel *,
                                  const QModelIndex &index) const
{
    auto *spin = qobject_cast<QSpinBox *>(editor);
    if (editor != FTree->FEditor)
        return;
    const QVariant id = index.siblingAtColumn(TZmtIdTree::colName).data(TZmtIdTree::IdIndexRole);
    if (!spin || !id.isValid())
        return;
    spin->interpretText();
    if (FTree->FSink)
        FTree->FSink(id.toInt(), spin->value());
}

void TZmtIdDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                          const QModelIndex &) const
{
    editor->setGeometry(option.rect);
}

void TZmtIdDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                           const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    painter->save();
    painter->setPen(kGridColour);
    painter->drawLine(option.rect.topRight(), option.rect.bottomRight());
    painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
    painter->restore();
}

QSize TZmtIdDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.setHeight(kRowHeight);
    return size;
}

} // namespace vrs
