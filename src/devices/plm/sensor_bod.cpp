#include "devices/plm/sensors.h"

#include <algorithm>
#include <bitset>

namespace vrs {

void TSensorTrend::SetName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    Changed();
}

void TSensor::Reset()
{
    m_number = 0;
    m_direction = nullptr;
}

void TSensor::SetNumber(int number)
{
    if (m_number == number)
        return;
    m_number = number;
    Changed();
}

void TSensor::SetDirection(TSensorTrend *direction)
{
    if (m_direction == direction)
        return;
    m_direction = direction;
    Changed();
}

TBOD::~TBOD() = default;

void TBOD::Reset()
{
    m_number = 0;
    m_name.clear();
    m_distance = 0;
    m_sensors.clear();
}

void TBOD::SetNumber(int number)
{
    if (m_number == number)
        return;
    m_number = number;
    Changed();
}

void TBOD::SetName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    Changed();
}

void TBOD::SetDistance(qint16 distance)
{
    if (m_distance == distance)
        return;
    m_distance = distance;
    Changed();
}

TSensor *TBOD::Sensor(int index) const
{
    if (index < 0 || index >= SensorCount())
        return nullptr;
    return m_sensors[size_t(index)].get();
}

int TBOD::IndexOfSensor(const TSensor *sensor) const
{
    for (size_t i = 0; i < m_sensors.size(); ++i)
        if (m_sensors[i].get() == sensor)
            return int(i);
    return -1;
}

TSensor *TBOD::AddSensor()
{
    auto sensor = std::make_unique<TSensor>(NextFreeSensorNumber());
    sensor->SetOnChange([this](TSettingsObject *child) { ChildChanged(child); });
    m_sensors.push_back(std::move(sensor));
    Changed();
    return m_sensors.back().get();
}

bool TBOD::RemoveSensor(TSensor *sensor)
{
    const int index = IndexOfSensor(sensor);
    if (index < 0)
        return false;
    m_sensors.erase(m_sensors.begin() + index);
    Changed();
    return true;
}

int TBOD::NextFreeSensorNumber() const
{
    std::bitset<kMaxSensorsPerBOD> taken;
    for (const auto &s : m_sensors)
        if (s->Number() >= 0 && s->Number() < kMaxSensorsPerBOD)
            taken.set(size_t(s->Number()));
    for (int n = 0; n < kMaxSensorsPerBOD; ++n)
        if (!taken.test(size_t(n)))
            return n;
    return 0;
}

bool TBOD::IsSensorNumberUnique(const TSensor *sensor) const
{
    return std::none_of(m_sensors.begin(), m_sensors.end(), [sensor](const auto &s) {
        return s.get() != sensor && s->Number() == sensor->Number();
    });
}

bool TBOD::UsesDirection(const TSensorTrend *direction) const
{
    return std::any_of(m_sensors.begin(), m_sensors.end(),
                       [direction](const auto &s) { return s->Direction() == direction; });
}

bool TBOD::SortSensorsByNumber()
{
    const auto byNumber = [](const auto &a, const auto &b) { return a->Number() < b->Number(); };
    if (std::is_sorted(m_sensors.begin(), m_sensors.end(), byNumber))
        return false;
    std::stable_sort(m_sensors.begin(), m_sensors.end(), byNumber);
    Changed();
    return true;
}

void TBOD::ChildChanged(TSettingsObject *)
{
    Changed();
}

} // namespace vrs
