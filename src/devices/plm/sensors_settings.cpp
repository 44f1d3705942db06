#include "devices/plm/sensors.h"

#include <algorithm>
#include <bitset>

namespace vrs {

TSensorsSettings::~TSensorsSettings() = default;

TBOD *TSensorsSettings::BOD(int index) const
{
    if (index < 0 || index >= BODCount())
        return nullptr;
    return m_bods[size_t(index)].get();
}

int TSensorsSettings::IndexOfBOD(const TBOD *bod) const
{
    for (size_t i = 0; i < m_bods.size(); ++i)
        if (m_bods[i].get() == bod)
            return int(i);
    return -1;
}

TSensorTrend *TSensorsSettings::Direction(int index) const
{
    if (index < 0 || index >= DirectionCount())
        return nullptr;
    return m_directions[size_t(index)].get();
}

int TSensorsSettings::IndexOfDirection(const TSensorTrend *direction) const
{
    if (!direction)
        return -1;
    for (size_t i = 0; i < m_directions.size(); ++i)
        if (m_directions[i].get() == direction)
            return int(i);
    return -1;
}

void TSensorsSettings::bind(TSettingsObject *child)
{
    child->SetOnChange([this](TSettingsObject *sender) { ChildChanged(sender); });
}

TBOD *TSensorsSettings::AddBOD()
{
    auto bod = std::make_unique<TBOD>(NextFreeBODNumber(), QStringLiteral("БОД"));
    bind(bod.get());
    m_bods.push_back(std::move(bod));
    Changed();
    return m_bods.back().get();
}

TSensorTrend *TSensorsSettings::AddDirection()
{
    auto direction = std::make_unique<TSensorTrend>();
    // Named before it is bound: a new direction is one change, not two.
    direction->SetName(QStringLiteral("Новое направление"));
    bind(direction.get());
    m_directions.push_back(std::move(direction));
    Changed();
    return m_directions.back().get();
}

bool TSensorsSettings::RemoveBOD(TBOD *bod)
{
    const int index = IndexOfBOD(bod);
    if (index < 0)
        return false;
    m_bods.erase(m_bods.begin() + index);
    Changed();
    return true;
}

bool TSensorsSettings::RemoveDirection(TSensorTrend *direction)
{
    const int index = IndexOfDirection(direction);
    if (index < 0 || !IsDirectionUnused(direction))
        return false;
    m_directions.erase(m_directions.begin() + index);
    Changed();
    return true;
}

int TSensorsSettings::NextFreeBODNumber() const
{
    std::bitset<kMaxBODs> taken;
    for (const auto &b : m_bods)
        if (b->Number() >= 0 && b->Number() < kMaxBODs)
            taken.set(size_t(b->Number()));
    for (int n = 0; n < kMaxBODs; ++n)
        if (!taken.test(size_t(n)))
            return n;
    return 0;
}

bool TSensorsSettings::IsBODNumberUnique(const TBOD *bod) const
{
    return std::none_of(m_bods.begin(), m_bods.end(), [bod](const auto &b) {
        return b.get() != bod && b->Number() == bod->Number();
    });
}

bool TSensorsSettings::IsDirectionUnused(const TSensorTrend *direction) const
{
    return std::none_of(m_bods.begin(), m_bods.end(),
                        [direction](const auto &b) { return b->UsesDirection(direction); });
}

bool TSensorsSettings::SortBODsByNumber()
{
    const auto byNumber = [](const auto &a, const auto &b) { return a->Number() < b->Number(); };
    if (std::is_sorted(m_bods.begin(), m_bods.end(), byNumber))
        return false;
    std::stable_sort(m_bods.begin(), m_bods.end(), byNumber);
    Changed();
    return true;
}

void TSensorsSettings::Clear()
{
    m_bods.clear();
    m_directions.clear();
}

void TSensorsSettings::TakeContentsFrom(TSensorsSettings &other)
{
    if (&other == this)
        return;
    Clear();
    m_directions = std::move(other.m_directions);
    m_bods = std::move(other.m_bods);
    other.m_directions.clear();
    other.m_bods.clear();
    for (const auto &d : m_directions)
        bind(d.get());
    for (const auto &b : m_bods)
        bind(b.get());
}

void TSensorsSettings::ChildChanged(TSettingsObject *)
{
    Changed();
}

} // namespace vrs
