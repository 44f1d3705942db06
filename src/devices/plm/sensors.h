#pragma once

#include "devices/plm/settings_object.h"

#include <QString>
#include <QtGlobal>

#include <memory>
#include <vector>

namespace vrs {

// What the window allows; the model itself takes whatever a document holds.
constexpr int kMaxBODs = 32;
constexpr int kMaxSensorsPerBOD = 8;
constexpr int kMaxDirections = 32;

// A traffic direction.  It has no number of its own: users see its 1-based
// position in the root's list.
class TSensorTrend : public TSettingsObject {
public:
    TSensorTrend() { TSensorTrend::Reset(); }

    void Reset() override { m_name.clear(); }

    const QString &Name() const { return m_name; }
    void SetName(const QString &name);

private:
    QString m_name;
};

// A detector of a BOD, one per lane.  Number is 0-based; users and documents
// see Number + 1.
class TSensor : public TSettingsObject {
public:
    explicit TSensor(int number) : m_number(number) {}

    void Reset() override;

    int Number() const { return m_number; }
    void SetNumber(int number);
    // A direction of the same root, not owned; nullptr for none.
    TSensorTrend *Direction() const { return m_direction; }
    void SetDirection(TSensorTrend *direction);

private:
    int m_number = 0;
    TSensorTrend *m_direction = nullptr;
};

// A detector processing block with its sensors, in the order the user sees
// them.  Number is shown as it is (0..31).
class TBOD : public TSettingsObject {
public:
    TBOD(int number, const QString &name) : m_number(number), m_name(name) {}
    ~TBOD() override;

    // Number 0, no name, distance 0 and no sensors; sends no notice.
    void Reset() override;

    int Number() const { return m_number; }
    void SetNumber(int number);
    const QString &Name() const { return m_name; }
    void SetName(const QString &name);
    // Metres from the intersection; not part of the document.
    qint16 Distance() const { return m_distance; }
    void SetDistance(qint16 distance);

    int SensorCount() const { return int(m_sensors.size()); }
    // nullptr outside 0..SensorCount()-1.
    TSensor *Sensor(int index) const;
    int IndexOfSensor(const TSensor *sensor) const;

    // Appends a sensor with the next free number and no direction.
    TSensor *AddSensor();
    // Destroys the sensor; false (and nothing changes) when it is not ours.
    bool RemoveSensor(TSensor *sensor);

    // Smallest of 0..7 no sensor carries; 0 when all are taken.
    int NextFreeSensorNumber() const;
    bool IsSensorNumberUnique(const TSensor *sensor) const;
    bool UsesDirection(const TSensorTrend *direction) const;
    bool CanAddSensor() const { return SensorCount() < kMaxSensorsPerBOD; }
    // The window never leaves a BOD without a sensor.
    bool CanRemoveSensor() const { return SensorCount() > 1; }

    // Orders the sensors by number, equal numbers keeping their order, as the
    // window lists them; a notice follows only when the order changed.
    bool SortSensorsByNumber();

    void ChildChanged(TSettingsObject *child);

private:
    int m_number = 0;
    QString m_name;
    qint16 m_distance = 0;
    std::vector<std::unique_ptr<TSensor>> m_sensors;
};

// The detector controller: its directions and its BODs.  Lists keep the order
// of addition unless sorted; that order is the order of the document.
class TSensorsSettings : public TSettingsObject {
public:
    TSensorsSettings() = default;
    ~TSensorsSettings() override;

    // Empties both lists; sends no notice.
    void Reset() override { Clear(); }

    int BODCount() const { return int(m_bods.size()); }
    TBOD *BOD(int index) const;  // nullptr outside the list
    int IndexOfBOD(const TBOD *bod) const;
    int DirectionCount() const { return int(m_directions.size()); }
    TSensorTrend *Direction(int index) const;  // nullptr outside the list
    // 0-based position; -1 for nullptr or a direction not in the list.
    int IndexOfDirection(const TSensorTrend *direction) const;

    // A BOD with the next free number, the name "БОД" and no sensors.
    TBOD *AddBOD();
    // A direction named "Новое направление".
    TSensorTrend *AddDirection();
    // Destroys the BOD with its sensors; false when it is not ours.
    bool RemoveBOD(TBOD *bod);
    // Destroys the direction.  A direction some sensor still refers to is
    // refused (false, nothing changes), so no sensor is left dangling.
    bool RemoveDirection(TSensorTrend *direction);

    // Smallest of 0..31 no BOD carries; 0 when all are taken.
    int NextFreeBODNumber() const;
    bool IsBODNumberUnique(const TBOD *bod) const;
    bool IsDirectionUnused(const TSensorTrend *direction) const;
    bool CanAddBOD() const { return BODCount() < kMaxBODs; }
    bool CanAddDirection() const { return DirectionCount() < kMaxDirections; }

    // Orders the BODs by number as the window lists them; a notice follows
    // only when the order changed.
    bool SortBODsByNumber();

    // Destroys everything; sends no notice.
    void Clear();
    // Takes over the BODs and directions of `other` (which is left empty) in
    // place of our own; our own handler stays.  Sends no notice.
    void TakeContentsFrom(TSensorsSettings &other);

    void ChildChanged(TSettingsObject *child);

private:
    void bind(TSettingsObject *child);

    std::vector<std::unique_ptr<TSensorTrend>> m_directions;
    // Declared last so BODs, whose sensors point at directions, go first.
    std::vector<std::unique_ptr<TBOD>> m_bods;
};

} // namespace vrs
