#pragma once

#include <functional>

namespace vrs {

// Base of the detector-controller objects.  Every object reports its own
// changes through OnChange; a parent binds that to its ChildChanged when the
// child is added, so a change anywhere reaches the root's handler once.
class TSettingsObject {
public:
    using ChangeHandler = std::function<void(TSettingsObject *sender)>;

    TSettingsObject() = default;
    virtual ~TSettingsObject() = default;

    // Children are bound to their parent by address, so objects never move.
    TSettingsObject(const TSettingsObject &) = delete;
    TSettingsObject &operator=(const TSettingsObject &) = delete;

    // Restores the class's defaults without sending a notice.
    virtual void Reset() {}

    const ChangeHandler &OnChange() const { return m_onChange; }
    void SetOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }

protected:
    void Changed()
    {
        if (m_onChange)
            m_onChange(this);
    }

private:
    ChangeHandler m_onChange;
};

} // namespace vrs
