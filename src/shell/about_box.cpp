#include "shell/about_box.h"

#include "shell/program_version.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace vrs {

QString TfmAbout::VersionText()
{
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QDateTime modified = program.lastModified();
    return QStringLiteral("%1 (%2)").arg(
        ProgramVersion(), modified.isValid() ? modified.toString(QStringLiteral("yyyyMMdd"))
                                             : QStringLiteral("--------"));
}

TfmAbout::TfmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfmAbout"));
    setWindowTitle(QStringLiteral("О программе"));

    auto *picture = new QFrame(this);
    picture->setObjectName(QStringLiteral("pPicture"));
    picture->setFrameShape(QFrame::StyledPanel);
    picture->setAutoFillBackground(true);
    QPalette pal = picture->palette();
    pal.setColor(QPalette::Window, QColor(40, 60, 120));
    pal.setColor(QPalette::WindowText, Qt::white);
    picture->setPalette(pal);
    auto *title = new QLabel(ProductName(), picture);
    QFont big = title->font();
    big.setPointSize(big.pointSize() + 8);
    big.setBold(true);
    title->setFont(big);
    auto *pictureLayout = new QVBoxLayout(picture);
    pictureLayout->addWidget(title, 0, Qt::AlignCenter);
    picture->setMinimumHeight(80);

    auto *form = new QFormLayout;
    auto addRow = [&](const char *name, const QString &caption, const QString &text) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        form->addRow(caption, label);
    };
    addRow("lblDescription", QStringLiteral("Описание :"), ProgramDescription());
    addRow("lblProduct", QStringLiteral("Продукт :"), ProductName());
    addRow("lblVersion", QStringLiteral("Версия :"), VersionText());
    addRow("lblCopyright", QStringLiteral("Права :"), LegalCopyright());
    addRow("lblComments", QStringLiteral("Комментарии :"), ProgramComments());

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));
}

} // namespace vrs
