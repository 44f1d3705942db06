// The controls of the programmer window and where they sit.
#include "programmer/gui/main_prog_frm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace vrs {

namespace {

template <typename T>
T *Named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

void TMainProgFrm::BuildControls()
{
    // The COM page, the only way to a device; its tab is not shown.
    pgcCon = Named(new QTabWidget(this), "pgcCon");
    pgcCon->setFixedHeight(137);
    pgcCon->setTabBarAutoHide(true);
    tsCOM = Named(new QWidget, "tsCOM");
    pgcCon->addTab(tsCOM, QStringLiteral("COM"));

    auto *portLabel = new QLabel(QStringLiteral("Порт:"), tsCOM);
    cbbPort = Named(new QComboBox(tsCOM), "cbbPort");
    cbbPort->setMinimumWidth(260);
    cbbPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    portLabel->setBuddy(cbbPort);
    btnUpdateCom = Named(new QToolButton(tsCOM), "btnUpdateCom");
    btnUpdateCom->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    btnUpdateCom->setToolTip(QStringLiteral("Обновить список"));
    cbShowAllPorts = Named(new QCheckBox(QStringLiteral("Показывать все"), tsCOM), "cbShowAllPorts");

    auto *portRow = new QHBoxLayout;
    portRow->addWidget(portLabel);
    portRow->addWidget(cbbPort);
    portRow->addWidget(btnUpdateCom);
    portRow->addStretch(1);
    auto *page = new QVBoxLayout(tsCOM);
    page->setContentsMargins(12, 12, 12, 12);
    page->addLayout(portRow);
    page->addWidget(cbShowAllPorts);
    page->addStretch(1);

    gbDirect = Named(new QGroupBox(QStringLiteral(" Управление "), this), "gbDirect");
    btnConnect = Named(new QPushButton(QStringLiteral("Подключить"), gbDirect), "btnConnect");
    btnConnect->setEnabled(false);
    btnDisconnect = Named(new QPushButton(QStringLiteral("Отключить"), gbDirect), "btnDisconnect");
    btnLogView = Named(new QToolButton(gbDirect), "btnLogView");
    btnLogView->setCheckable(true);
    btnLogView->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
    btnLogView->setToolTip(QStringLiteral("Показать лог"));
    btnCommand = Named(new QPushButton(ProgrammerCommandText(m_mode), gbDirect), "btnCommand");
    btnCommand->setMinimumWidth(100);
    auto *direct = new QHBoxLayout(gbDirect);
    direct->addWidget(btnConnect);
    direct->addWidget(btnDisconnect);
    direct->addWidget(btnLogView);
    direct->addStretch(1);
    direct->addWidget(btnCommand);

    gbService = Named(new QGroupBox(QStringLiteral(" Сервис "), this), "gbService");
    lblSN = Named(new QLabel(QStringLiteral("S/N:"), gbService), "lblSN");
    edtSerialNumber = Named(new QLineEdit(gbService), "edtSerialNumber");
    edtSerialNumber->setEnabled(false);
    lblSN->setBuddy(edtSerialNumber);
    auto *service = new QHBoxLayout(gbService);
    service->addWidget(lblSN);
    service->addWidget(edtSerialNumber, 1);

    auto *groups = new QHBoxLayout;
    groups->addWidget(gbDirect, 3);
    groups->addWidget(gbService, 2);

    pbMain = Named(new QProgressBar(this), "pbMain");
    pbMain->setRange(0, 100);
    pbMain->setValue(0);
    pbMain->setTextVisible(true);
    pbMain->setFormat(QStringLiteral("%p%"));

    statMain = Named(new QStatusBar(this), "statMain");
    statMain->setSizeGripEnabled(false);

    auto *body = new QVBoxLayout;
    body->setContentsMargins(8, 8, 8, 4);
    body->addWidget(pgcCon);
    body->addLayout(groups);
    body->addStretch(1);
    body->addWidget(pbMain);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body, 1);
    layout->addWidget(statMain);

    setFixedSize(643, 324);
}

} // namespace vrs
