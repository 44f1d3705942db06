#include "shell/settings_dialog.h"

#include "appsettings/settings.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <limits>

namespace vrs {

TStepRangeSpinBox::TStepRangeSpinBox(int stepMinimum, int stepMaximum, QWidget *parent)
    : QSpinBox(parent), FStepMinimum(stepMinimum), FStepMaximum(stepMaximum)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void TStepRangeSpinBox::stepBy(int steps)
{
    setValue(qBound(FStepMinimum, value() + steps * singleStep(), FStepMaximum));
    selectAll();
}

QAbstractSpinBox::StepEnabled TStepRangeSpinBox::stepEnabled() const
{
    StepEnabled result = StepNone;
    if (value() < FStepMaximum)
        result |= StepUpEnabled;
    if (value() > FStepMinimum)
        result |= StepDownEnabled;
    return result;
}

TfmSettings::TfmSettings(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfmSettings"));
    setWindowTitle(QStringLiteral("Настройки"));
    resize(598, 436);

    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("pgcSettings"));
    auto *page = new QWidget(pages);
    page->setObjectName(QStringLiteral("tsMainSettings"));
    pages->addTab(page, QStringLiteral("Главное"));

    auto *group = new QGroupBox(QStringLiteral(" Подключение "), page);
    group->setObjectName(QStringLiteral("gbConnection"));
    // Typing is limited only by what the settings can hold (an attempt count
    // of 0 would never connect); the buttons keep to the usual range.
    seComIntervalDelay = new TStepRangeSpinBox(150, 10000, group);
    seComIntervalDelay->setObjectName(QStringLiteral("seComIntervalDelay"));
    seComIntervalDelay->setRange(0, std::numeric_limits<quint16>::max());
    seComConnectTryCount = new TStepRangeSpinBox(1, 100, group);
    seComConnectTryCount->setObjectName(QStringLiteral("seComConnectTryCount"));
    seComConnectTryCount->setRange(1, std::numeric_limits<quint8>::max());

    auto *grid = new QGridLayout(group);
    grid->addWidget(new QLabel(QStringLiteral("Задержка подключения (мс) : "), group), 0, 0);
    grid->addWidget(seComIntervalDelay, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Макс. кол-во попыток :"), group), 1, 0);
    grid->addWidget(seComConnectTryCount, 1, 1);
    grid->setColumnStretch(2, 1);

    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(group);
    pageLayout->addStretch(1);

    auto *btnOk = new QPushButton(QStringLiteral("ОК"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    auto *btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btnOk);
    bottom->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pages, 1);
    layout->addLayout(bottom);
}

void TfmSettings::LoadFrom(const TSettings &settings)
{
    seComIntervalDelay->setValue(settings.ComIntervalDelay());
    seComConnectTryCount->setValue(settings.ComConnectTryCount());
}

void TfmSettings::StoreTo(TSettings &settings) const
{
    // A value still being typed when OK is pressed counts as entered.
    seComIntervalDelay->interpretText();
    seComConnectTryCount->interpretText();
    settings.SetComIntervalDelay(seComIntervalDelay->value());
    settings.SetComConnectTryCount(seComConnectTryCount->value());
}

bool EditSettings(QWidget *parent, TSettings &settings)
{
    TfmSettings dialog(parent);
    dialog.LoadFrom(settings);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.StoreTo(settings);
    if (!settings.Modified())
        return false;
    settings.Save();
    return true;
}

} // namespace vrs
