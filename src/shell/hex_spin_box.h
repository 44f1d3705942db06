#pragma once

#include <QSpinBox>

namespace vrs {

// A spin edit that shows and takes its value in hexadecimal, upper case,
// without leading zeros.
class THexSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit THexSpinBox(QWidget *parent = nullptr);

protected:
    QString textFromValue(int value) const override;
};

} // namespace vrs
