#pragma once

#include <QString>

#include <functional>

namespace vrs {

class TIniDocument;

// Base of the programmer's settings classes: each reads and writes its own
// section of "bprog.ini" and reports its changes.
class TSettingsBase {
public:
    using ChangeHandler = std::function<void(TSettingsBase *changed)>;

    TSettingsBase() = default;
    virtual ~TSettingsBase() = default;
    TSettingsBase(const TSettingsBase &) = delete;
    TSettingsBase &operator=(const TSettingsBase &) = delete;

    virtual void LoadFromIni(const TIniDocument &ini) = 0;
    virtual void SaveToIni(TIniDocument &ini) const = 0;
    virtual QString SectionName() const = 0;

    bool IsChanged() const { return m_changed; }
    void ClearChanged() { m_changed = false; }
    void SetOnChange(ChangeHandler handler) { m_onChange = std::move(handler); }

protected:
    // Every setter calls this when a value really changes.
    void NotifyChange()
    {
        m_changed = true;
        if (m_onChange)
            m_onChange(this);
    }

    // Stores value and notifies, only when it differs.
    template <typename T>
    void Assign(T &field, const T &value)
    {
        if (field == value)
            return;
        field = value;
        NotifyChange();
    }

private:
    bool m_changed = false;
    ChangeHandler m_onChange;
};

} // namespace vrs
