#pragma once

#include "programmer/prompt.h"

#include <QPointer>
#include <QWidget>

namespace vrs {

// The questions and messages of the windows, as modal message boxes over the
// given window.
class MessageBoxPrompt : public Prompt {
public:
    explicit MessageBoxPrompt(QWidget *parent = nullptr) : FParent(parent) {}

    bool Ask(const QString &caption, const QString &text) override;
    void Show(Kind kind, const QString &caption, const QString &text) override;

private:
    QPointer<QWidget> FParent;
};

} // namespace vrs
