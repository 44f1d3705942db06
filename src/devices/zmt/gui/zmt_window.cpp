#include "devices/zmt/gui/zmt_window.h"

#include "devices/zmt/gui/zmt_id_tree.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>

namespace vrs {

namespace {

QString GroupCaption(quint8 kind)
{
    return kind == zikOwnId ? QStringLiteral("Собственный ID") : QStringLiteral("ID приложения");
}

} // namespace

QString TfmConfZMT::Caption()
{
    return QStringLiteral("Контроллер электросчетчиков");
}

TfmConfZMT::TfmConfZMT(QWidget *parent) : TfmBaseMDI(parent)
{
    setObjectName(QStringLiteral("TfmConfZMT"));
    setWindowTitle(Caption());

    auto *client = new QWidget(this);
    auto *top = new QWidget(client);
    top->setObjectName(QStringLiteral("pTop"));
    btnRead = new QPushButton(QStringLiteral("Прочитать"), top);
    btnRead->setObjectName(QStringLiteral("btnRead"));
    btnWrite = new QPushButton(QStringLiteral("Записать"), top);
    btnWrite->setObjectName(QStringLiteral("btnWrite"));
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(4, 4, 4, 4);
    topLayout->addStretch(1);
    topLayout->addWidget(btnRead);
    topLayout->addWidget(btnWrite);

    gbController = new QGroupBox(QStringLiteral(" Контроллер электросчетчиков "), client);
    gbController->setObjectName(QStringLiteral("gbController"));
    gbController->setCheckable(true);
    edName = new QLineEdit(gbController);
    edName->setObjectName(QStringLiteral("edName"));
    edPassword = new QLineEdit(gbController);
    edPassword->setObjectName(QStringLiteral("edPassword"));
    edPassword->setEchoMode(QLineEdit::Password);
    cbDefaultPassword = new QCheckBox(QStringLiteral("Пароль по умолчанию"), gbController);
    cbDefaultPassword->setObjectName(QStringLiteral("cbDefaultPassword"));
    vtIDs = new TZmtIdTree(gbController);

    auto *fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Наименование :"), gbController), 0, 0);
    fields->addWidget(edName, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Пароль:"), gbController), 1, 0);
    fields->addWidget(edPassword, 1, 1);
    fields->addWidget(cbDefaultPassword, 1, 2);
    fields->setColumnStretch(1, 1);
    auto *groupLayout = new QVBoxLayout(gbController);
    groupLayout->addLayout(fields);
    groupLayout->addWidget(vtIDs, 1);

    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->addWidget(top);
    layout->addWidget(gbController, 1);
    setWidget(client);

    const int frame = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const int title = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    resize(617 + 2 * frame, 407 + title + frame);

    connect(gbController, &QGroupBox::toggled, this, [this](bool on) { FModel.setEnabled(on); });
    connect(edName, &QLineEdit::textChanged, this,
            [this](const QString &text) { FModel.setName(text); });
    connect(edPassword, &QLineEdit::textChanged, this,
            [this](const QString &text) { FModel.setPassword(text); });
    connect(cbDefaultPassword, &QCheckBox::toggled, this,
            [this](bool on) { FModel.setDefaultPassword(on); });
    vtIDs->SetValueSink([this](int index, int value) {
        FModel.setIdentifierValue(size_t(index), quint16(value));
        vtIDs->ShowValue(index, FModel.identifiers().at(size_t(index)).value);
    });
    connect(btnRead, &QPushButton::clicked, this, [this] { ReadFromDevice(); });
    connect(btnWrite, &QPushButton::clicked, this, [this] { WriteToDevice(); });

    ShowModel();
}

void TfmConfZMT::ResetDocument()
{
    FModel.Reset();
    ShowModel();
}

std::optional<JsonValue> TfmConfZMT::BuildJSON() const
{
    return FModel.BuildJSON();
}

bool TfmConfZMT::LoadJSON(const JsonValue &root, QString *message)
{
    // The model loads all or nothing, so a rejected configuration leaves
    // the window exactly as it was.
    if (!FModel.LoadJSON(root, message))
        return false;
    ShowModel();
    TfmBaseMDI::LoadJSON(root, nullptr);
    return true;
}

void TfmConfZMT::ShowModel()
{
    // The model holds new values now; an identifier editor left open would
    // write its old value over them when the controls change around it.
    vtIDs->CloseEditor(false);
    {
        const QSignalBlocker b1(gbController), b2(edName), b3(edPassword), b4(cbDefaultPassword);
        gbController->setChecked(FModel.enabled());
        edName->setText(FModel.name());
        edPassword->setText(FModel.password());
        cbDefaultPassword->setChecked(FModel.defaultPassword());
    }
    QList<TZmtIdTree::Row> rows;
    for (const ZmtIdentifier &id : FModel.identifiers())
        rows.append({GroupCaption(id.kind), id.name, id.value});
    vtIDs->SetRows(rows);
}

} // namespace vrs
