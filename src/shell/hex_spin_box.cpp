#include "shell/hex_spin_box.h"

namespace vrs {

THexSpinBox::THexSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setDisplayIntegerBase(16);
}

QString THexSpinBox::textFromValue(int value) const
{
    return QString::number(value, 16).toUpper();
}

} // namespace vrs
