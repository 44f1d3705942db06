#include "shell/message_box_prompt.h"

#include <QMessageBox>

namespace vrs {

bool MessageBoxPrompt::Ask(const QString &caption, const QString &text)
{
    return QMessageBox::question(FParent, caption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
           == QMessageBox::Yes;
}

void MessageBoxPrompt::Show(Kind kind, const QString &caption, const QString &text)
{
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (kind) {
    case Kind::Information: icon = QMessageBox::Information; break;
    case Kind::Warning: icon = QMessageBox::Warning; break;
    case Kind::Error: icon = QMessageBox::Critical; break;
    case Kind::Question: icon = QMessageBox::Question; break;
    }
    QMessageBox box(icon, caption, text, QMessageBox::Ok, FParent);
    box.exec();
}

} // namespace vrs
