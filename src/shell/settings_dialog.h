#pragma once

#include <QDialog>
#include <QSpinBox>

namespace vrs {

class TSettings;

// A spin edit whose buttons step within a narrower range than the values
// that may be typed.
class TStepRangeSpinBox : public QSpinBox {
    Q_OBJECT
public:
    TStepRangeSpinBox(int stepMinimum, int stepMaximum, QWidget *parent = nullptr);
    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;

private:
    int FStepMinimum;
    int FStepMaximum;
};

// The application settings dialog.
class TfmSettings : public QDialog {
    Q_OBJECT
public:
    explicit TfmSettings(QWidget *parent = nullptr);

    void LoadFrom(const TSettings &settings);
    void StoreTo(TSettings &settings) const;

    QSpinBox *IntervalDelayEdit() const { return seComIntervalDelay; }
    QSpinBox *TryCountEdit() const { return seComConnectTryCount; }

private:
    TStepRangeSpinBox *seComIntervalDelay;
    TStepRangeSpinBox *seComConnectTryCount;
};

// Shows the dialog filled from the settings; on OK stores the values and,
// when one of them changed, writes the settings file at once.  Returns
// whether the file was written.  A failed write raises ESettingsError.
bool EditSettings(QWidget *parent, TSettings &settings);

} // namespace vrs
